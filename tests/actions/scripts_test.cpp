// The script texts, compared byte for byte with what the host has always been sent.
#include <gtest/gtest.h>

#include "TOLV_Mask/actions/Scripts.h"
#include "TOLV_Mask/lights/PathLight.h"

namespace {

TEST(MaskScripts, engineCheckIsNinePiecesJoinedBySixTabs) {
  const std::string expected =
      "myComp = app.project.activeItem;\t\t\t\t\t\t"
      "myLayer = myComp.selectedLayers[0];\t\t\t\t\t\t"
      "foundEngine = false;\t\t\t\t\t\t"
      "if (myLayer.Effects) {\t\t\t\t\t\t"
      "for (f = 1; f <= myLayer.Effects.numProperties; f++) {\t\t\t\t\t\t"
      "if (myLayer.Effects.property(f).matchName == 'ZEK TOLV_Engine') {foundEngine = true; "
      "break;}\t\t\t\t\t\t"
      "}\t\t\t\t\t\t"
      "if (foundEngine == false) {try{myLayer.Effects.addProperty('ZEK "
      "TOLV_Engine');}catch(e){}}\t\t\t\t\t\t"
      "}";
  EXPECT_EQ(EngineCheckScript(), expected);
  EXPECT_NE(EngineCheckScript().back(), '\t');
}

TEST(MaskScripts, launchScriptNamesTheEffectAndItsPosition) {
  EXPECT_EQ(LaunchScript("ZEK TOLV_Distort", 3),
            "myComp = app.project.activeItem;myLayer = myComp.selectedLayers[0];try{myFX = "
            "myLayer.Effects.addProperty('ZEK TOLV_Distort');myFX.moveTo(3);}catch(e){}");
  EXPECT_EQ(LaunchScript("ZEK TOLV_Engine", 12),
            "myComp = app.project.activeItem;myLayer = myComp.selectedLayers[0];try{myFX = "
            "myLayer.Effects.addProperty('ZEK TOLV_Engine');myFX.moveTo(12);}catch(e){}");
}

TEST(MaskScripts, depthAlertCarriesABackslashAndAnN) {
  const std::string alert = kNoDepthAlert;
  EXPECT_EQ(alert,
            "alert('The shape you created has no Z depth\\nPlease set Z parameters before "
            "creating a light path');");
  EXPECT_NE(alert.find("depth\\nPlease"), std::string::npos);
  EXPECT_EQ(alert.find('\n'), std::string::npos);
}

}  // namespace
