// Scripts run through AEGP_ExecuteScript by a test effect over a live project: a light on top, a
// card (selected) carrying the script effect, and a backing solid.
#include <gtest/gtest.h>

#include "testbed/host/Host.h"
#include "testbed/host/StreamValues.h"
#include "tests/script_module/ScriptRequest.h"
#include "tests/support/Modules.h"
#include "tests/support/Violations.h"

namespace {

class ScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    script_ = &host_.load(tbtest::modulePath("TOLV_TestScript"));
    host_.load(tbtest::modulePath("TOLV_Engine"));
    comp_ = &host_.addComp("Main", 64, 48);
    card_ = &host_.addLayer(*comp_, "Card", 64, 48);
    host_.createLight(*comp_, "Lamp", {32, 24});
    host_.addLayer(*comp_, "Back", 64, 48);
    comp_->selected = {card_->id};
    runner_ = &host_.applyEffect(*card_, *script_);
  }
  // The host quits as the real one does, so that a handle a module never gave back fails the test.
  void TearDown() override {
    host_.quit();
    tbtest::checkViolations(host_.ledger(), expectedViolations_);
  }

  // Runs text; result and error come back from the handles the effect asked for.
  A_Err run(const char* text, std::string* result = nullptr, std::string* error = nullptr) {
    AEGP_MemHandle resultH = nullptr, errorH = nullptr;
    ScriptRequest request;
    request.text = text;
    request.result = &resultH;
    request.error = &errorH;
    const A_Err err = host_.sendToEffect(*runner_, PF_Cmd_COMPLETELY_GENERAL, &request).err;
    // The test effect hands its text handles to the test, which frees them after the command has
    // returned: the host rightly reports the command holding them.
    if (expectedViolations_.empty())
      expectedViolations_.push_back("left held: mem handle");
    for (auto [handle, out] : {std::pair{resultH, result}, std::pair{errorH, error}}) {
      auto* text = tb::lookup<tb::MemHandleObject>(handle);
      EXPECT_NE(text, nullptr);
      if (text && out)
        *out = text->text;
      EXPECT_TRUE(host_.disposeRef(handle));
    }
    return err;
  }

  std::string evaluate(const char* text) {
    std::string result, error;
    EXPECT_EQ(run(text, &result, &error), A_Err_NONE) << text << ": " << error;
    return result;
  }

  std::vector<std::string> expectedViolations_;

  std::vector<std::string> stack(const tb::Layer& layer) const {
    std::vector<std::string> names;
    for (const auto& effect : layer.effects)
      names.push_back(effect->module->matchName());
    return names;
  }

  tb::Host host_;
  tb::Module* script_ = nullptr;
  tb::Comp* comp_ = nullptr;
  tb::Layer* card_ = nullptr;
  tb::Effect* runner_ = nullptr;
};

TEST_F(ScriptTest, addPropertyAppendsTheEffectAfterItsSequenceSetupAndReturnsIt) {
  EXPECT_EQ(evaluate("myComp = app.project.activeItem;myLayer = myComp.selectedLayers[0];"
                     "myLayer.Effects.addProperty('ZEK TOLV_Engine').matchName"),
            "ZEK TOLV_Engine");
  EXPECT_EQ(stack(*card_), (std::vector<std::string>{"ZEK TOLV_TestScript", "ZEK TOLV_Engine"}));
  const tb::SentCommand& setup = host_.log().sent.at(host_.log().sent.size() - 2);
  EXPECT_EQ(setup.cmd, PF_Cmd_SEQUENCE_SETUP);
  EXPECT_EQ(setup.matchName, "ZEK TOLV_Engine");
  EXPECT_EQ(setup.effect, 1);
  EXPECT_EQ(host_.log().sent.back().cmd, PF_Cmd_COMPLETELY_GENERAL);
}

TEST_F(ScriptTest, anEffectNoModuleHasThrowsAndAddsNothing) {
  std::string error;
  EXPECT_EQ(
      run("app.project.activeItem.layer(2).Effects.addProperty('ZEK Nowhere');", nullptr, &error),
      A_Err_GENERIC);
  EXPECT_EQ(error, "Error: Can not add a property with name \"ZEK Nowhere\" to this group");
  EXPECT_EQ(card_->effects.size(), 1u);
  EXPECT_EQ(evaluate("try{app.project.activeItem.layer(2).Effects.addProperty('ZEK Nowhere');"
                     "'added'}catch(e){'caught'}"),
            "caught");
}

TEST_F(ScriptTest, moveToCountsFromOneAndThrowsOutOfRange) {
  evaluate(
      "fx = app.project.activeItem.layer(2).Effects.addProperty('ZEK TOLV_Engine');"
      "fx.moveTo(1);");
  EXPECT_EQ(stack(*card_), (std::vector<std::string>{"ZEK TOLV_Engine", "ZEK TOLV_TestScript"}));
  for (const char* text : {"app.project.activeItem.layer(2).Effects(1).moveTo(3);",
                           "app.project.activeItem.layer(2).Effects(1).moveTo(0);",
                           "app.project.activeItem.layer(2).Effects(1).moveTo(1.5);"}) {
    std::string error;
    EXPECT_EQ(run(text, nullptr, &error), A_Err_GENERIC) << text;
    EXPECT_EQ(error.rfind("RangeError: ", 0), 0u) << error;
  }
  EXPECT_EQ(stack(*card_), (std::vector<std::string>{"ZEK TOLV_Engine", "ZEK TOLV_TestScript"}));
}

TEST_F(ScriptTest, theGroupCalledAsAFunctionIsItsPropertyAndSetValueWritesTheParameter) {
  EXPECT_EQ(evaluate("fx = app.project.activeItem.layer(2).Effects;"
                     "[fx.numProperties, fx(1).matchName == fx.property(1).matchName,"
                     " fx(2), fx(1).property(1).name].join('|')"),
            "1|true||Script");
  EXPECT_EQ(evaluate("p = app.project.activeItem.layer(2).Effects(1).property(1);"
                     "p.setValue(3); p.value"),
            "3");
  EXPECT_EQ(runner_->params[1].u.pd.value, 3);
  std::string error;
  EXPECT_EQ(run("app.project.activeItem.layer(2).Effects(1).property(1).setValue([1, 2]);", nullptr,
                &error),
            A_Err_GENERIC);
  EXPECT_EQ(error, "TypeError: Value is not valid for property 1");
  EXPECT_EQ(runner_->params[1].u.pd.value, 3);
}

TEST_F(ScriptTest, aLayerSetByIndexIsWhatTheEffectReadsInItsParams) {
  EXPECT_EQ(evaluate("fx = app.project.activeItem.layer(2).Effects.addProperty('ZEK TOLV_Engine');"
                     "fx.property(19).setValue(3); fx.property(19).value"),
            "3");
  const tb::Effect& engine = *card_->effects.back();
  const auto chosen = reinterpret_cast<uintptr_t>(engine.params[19].u.ld.reserved0);
  EXPECT_EQ(chosen, comp_->layers[2]->id);
  EXPECT_EQ(engine.layerIds[19], comp_->layers[2]->id);
  std::string error;
  EXPECT_EQ(
      run("app.project.activeItem.layer(2).Effects(2).property(19).setValue(4);", nullptr, &error),
      A_Err_GENERIC);
  EXPECT_EQ(evaluate("app.project.activeItem.layer(2).Effects(2).property(19).setValue(0);"
                     "app.project.activeItem.layer(2).Effects(2).property(19).value"),
            "0");
  EXPECT_EQ(engine.params[19].u.ld.reserved0, nullptr);
}

TEST_F(ScriptTest, theEngineUpdateScriptSetsParameter43OfEveryEngineAndSkipsTheLight) {
  host_.applyEffect(*comp_->layers[2], *host_.moduleByMatchName("ZEK TOLV_Engine"));
  const char* update =
      "myComp = app.project.activeItem;\t\t\t\t\tfor (l = myComp.numLayers; l > 0; l--) "
      "{\t\t\t\t\tmyLayer = myComp.layer(l);\t\t\t\t\tif (myLayer.Effects) {\t\t\t\t\tfor (f = "
      "1; f <= myLayer.Effects.numProperties; f++) {\t\t\t\t\tmyFX = "
      "myLayer.Effects(f);\t\t\t\t\tif (myFX.matchName == 'ZEK TOLV_Engine') "
      "{myFX.property(43).setValue(1);}}}\t\t\t\t\t}";
  EXPECT_EQ(run(update), A_Err_NONE);
  AEGP_StreamVal2 value;
  ASSERT_TRUE(tb::readStreamValue(*comp_->layers[2]->effects[0], 43, &value));
  EXPECT_EQ(value.one_d, 1);
  EXPECT_EQ(evaluate("l = app.project.activeItem.layer(1); [l.name, l.Effects === null].join()"),
            "Lamp,true");
}

TEST_F(ScriptTest, anAlertKeepsItsLineBreak) {
  EXPECT_EQ(run("alert('first line\\nsecond line');"), A_Err_NONE);
  ASSERT_EQ(host_.log().alerts.size(), 1u);
  EXPECT_EQ(host_.log().alerts[0], "first line\nsecond line");
}

TEST_F(ScriptTest, anUncaughtErrorFailsTheCallAndIsLoggedWithItsMessage) {
  std::string result = "unset", error;
  EXPECT_EQ(run("x = 1; throw new Error('stopped on purpose'); x = 2;", &result, &error),
            A_Err_GENERIC);
  EXPECT_EQ(result, "");
  EXPECT_EQ(error, "Error: stopped on purpose");
  ASSERT_EQ(host_.log().scripts.size(), 1u);
  const tb::ScriptRun& logged = host_.log().scripts[0];
  EXPECT_EQ(logged.text, "x = 1; throw new Error('stopped on purpose'); x = 2;");
  EXPECT_EQ(logged.err, A_Err_GENERIC);
  EXPECT_EQ(logged.error, "Error: stopped on purpose");
  EXPECT_EQ(run("if (", nullptr, &error), A_Err_GENERIC);
  EXPECT_EQ(error.rfind("SyntaxError: ", 0), 0u) << error;
}

TEST_F(ScriptTest, handlesAreOptionalAndEachRunStartsAfresh) {
  EXPECT_EQ(run("leftOver = 5;"), A_Err_NONE);
  EXPECT_EQ(evaluate("typeof leftOver"), "undefined");
  ScriptRequest bare;
  bare.text = "throw 1;";
  EXPECT_EQ(host_.sendToEffect(*runner_, PF_Cmd_COMPLETELY_GENERAL, &bare).err, A_Err_GENERIC);
  EXPECT_TRUE(host_.log().sent.back().held.empty());
}

TEST_F(ScriptTest, theActiveItemMayBeNone) {
  host_.project().activeItem = nullptr;
  EXPECT_EQ(evaluate("app.project.activeItem === null"), "true");
  std::string error;
  EXPECT_EQ(run("app.project.activeItem.selectedLayers[0];", nullptr, &error), A_Err_GENERIC);
  EXPECT_EQ(error.rfind("TypeError: ", 0), 0u) << error;
}

}  // namespace
