#include "TOLV_Mask/actions/Scripts.h"

#include <sstream>

namespace {

// The pieces of the engine check are joined by six tabs, as the script has always been sent.
const char* const kEngineCheckPieces[] = {
    "myComp = app.project.activeItem;",
    "myLayer = myComp.selectedLayers[0];",
    "foundEngine = false;",
    "if (myLayer.Effects) {",
    "for (f = 1; f <= myLayer.Effects.numProperties; f++) {",
    "if (myLayer.Effects.property(f).matchName == 'ZEK TOLV_Engine') {foundEngine = true; break;}",
    "}",
    "if (foundEngine == false) {try{myLayer.Effects.addProperty('ZEK TOLV_Engine');}catch(e){}}",
    "}",
};

constexpr const char* kPieceSeparator = "\t\t\t\t\t\t";

}  // namespace

std::string EngineCheckScript() {
  std::string script;
  for (const char* piece : kEngineCheckPieces) {
    if (!script.empty())
      script += kPieceSeparator;
    script += piece;
  }
  return script;
}

std::string LaunchScript(const std::string& matchName, A_long position) {
  std::ostringstream script;
  script << "myComp = app.project.activeItem;"
         << "myLayer = myComp.selectedLayers[0];"
         << "try{myFX = myLayer.Effects.addProperty('" << matchName << "');myFX.moveTo(" << position
         << ");}catch(e){}";
  return script.str();
}
