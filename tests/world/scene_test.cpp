#include "testbed/scene/SceneParse.h"

#include <gtest/gtest.h>

#include "testbed/scene/SceneJson.h"

namespace tb::scene {
namespace {

using nlohmann::json;

// A small valid scene that each error case breaks in one place with a JSON patch.
const char* const kBase = R"({
  "comp": {"name": "Main", "width": 64, "height": 36, "fps": 25, "duration": 10},
  "layers": [
    {"name": "Card", "kind": "solid", "size": [64, 36], "color": [255, 255, 255, 255],
     "masks": [{"name": "Mask 1", "points": [[1, 1], [9, 1], [9, 9]]}],
     "effects": [{"match": "ZEK TOLV_Mask", "params": {"1": 10, "4": "Mask 1"}},
                 {"match": "ZEK TOLV_Engine"}]},
    {"name": "Light", "kind": "light"}
  ],
  "steps": [{"render": {"time": 0}}]
})";

struct ErrorCase {
  const char* name;
  const char* patch;
  const char* message;
};

class SceneErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(SceneErrors, nameTheFilePlaceAndFault) {
  const std::string text = json::parse(kBase).patch(json::parse(GetParam().patch)).dump();
  try {
    parseScene(text, "dir/t.json");
    FAIL() << "no error for " << GetParam().name;
  } catch (const SceneError& e) {
    EXPECT_EQ(std::string(e.what()), GetParam().message);
  }
}

#define REPLACE(path, value) "[{\"op\": \"replace\", \"path\": \"" path "\", \"value\": " value "}]"
#define ADD(path, value) "[{\"op\": \"add\", \"path\": \"" path "\", \"value\": " value "}]"
#define REMOVE(path) "[{\"op\": \"remove\", \"path\": \"" path "\"}]"

const ErrorCase kErrorCases[] = {
    {"rootNotObject", REPLACE("", "[1]"), "dir/t.json: scene: must be an object"},
    {"unknownRootKey", ADD("/colour", "1"), "dir/t.json: scene: unknown key \"colour\""},
    {"missingComp", REMOVE("/comp"), "dir/t.json: scene: missing key \"comp\""},
    {"zeroWidth", REPLACE("/comp/width", "0"),
     "dir/t.json: comp.width: must be a whole number in 1–30000"},
    {"fractionalHeight", REPLACE("/comp/height", "3.5"),
     "dir/t.json: comp.height: must be a whole number in 1–30000"},
    {"zeroFps", REPLACE("/comp/fps", "0"),
     "dir/t.json: comp.fps: must be more than 0 and at most 1000"},
    {"fpsText", REPLACE("/comp/fps", "\"25\""), "dir/t.json: comp.fps: must be a number"},
    {"negativeDuration", REPLACE("/comp/duration", "-1"),
     "dir/t.json: comp.duration: must be more than 0 seconds and representable at the frame rate"},
    {"workAreaPastEnd", ADD("/comp/work_area", "[5, 6]"),
     "dir/t.json: comp.work_area: [start, duration] must lie within the composition"},
    {"layersNotList", REPLACE("/layers", "{}"), "dir/t.json: layers: must be a list"},
    {"layerWithoutName", REMOVE("/layers/1/name"), "dir/t.json: layers[1]: missing key \"name\""},
    {"duplicateLayerName", REPLACE("/layers/1/name", "\"Card\""),
     "dir/t.json: layers[1].name: duplicate layer name \"Card\""},
    {"unknownKind", REPLACE("/layers/0/kind", "\"sphere\""),
     "dir/t.json: layers[0].kind: unknown layer kind \"sphere\""},
    {"keyOfAnotherKind", ADD("/layers/0/color2", "[0, 0, 0, 255]"),
     "dir/t.json: layers[0].color2: not a key of a solid layer"},
    {"lightWithEffects", ADD("/layers/1/effects", "[]"),
     "dir/t.json: layers[1].effects: not a key of a light layer"},
    {"solidWithoutSize", REMOVE("/layers/0/size"), "dir/t.json: layers[0]: missing key \"size\""},
    {"sizeOfOne", REPLACE("/layers/0/size", "[64]"),
     "dir/t.json: layers[0].size: must be [width, height]"},
    {"colourOfThree", REPLACE("/layers/0/color", "[1, 2, 3]"),
     "dir/t.json: layers[0].color: must be a colour [r, g, b, a] of 4 whole numbers in 0–255"},
    {"colourOutOfRange", REPLACE("/layers/0/color", "[1, 2, 3, 256]"),
     "dir/t.json: layers[0].color: must be a colour [r, g, b, a] of 4 whole numbers in 0–255"},
    {"imageWithoutPath", REPLACE("/layers/1", "{\"name\": \"Pic\", \"kind\": \"image\"}"),
     "dir/t.json: layers[1]: missing key \"path\""},
    {"zeroDirection",
     REPLACE("/layers/1",
             "{\"name\": \"G\", \"kind\": \"gradient\", \"size\": [2, 2], \"direction\": [0, 0]}"),
     "dir/t.json: layers[1].direction: must not be [0, 0]"},
    {"unknownParent", ADD("/layers/0/parent", "\"Nobody\""),
     "dir/t.json: layers[0].parent: no layer is named \"Nobody\""},
    {"parentLoop",
     "[{\"op\": \"add\", \"path\": \"/layers/0/parent\", \"value\": \"Light\"},"
     " {\"op\": \"add\", \"path\": \"/layers/1/parent\", \"value\": \"Card\"}]",
     "dir/t.json: layers[0].parent: parenting loop through \"Card\""},
    {"flagNotBoolean", ADD("/layers/0/shy", "1"),
     "dir/t.json: layers[0].shy: must be true or false"},
    {"unknownTransformKey", ADD("/layers/0/transform", "{\"skew\": 1}"),
     "dir/t.json: layers[0].transform: unknown key \"skew\""},
    {"positionOfFour", ADD("/layers/0/transform", "{\"position\": [1, 2, 3, 4]}"),
     "dir/t.json: layers[0].transform.position: must be [x, y, z] or [x, y]"},
    {"positionKeyAtZero", ADD("/layers/0/transform", "{\"position_keys\": [[0, [1, 2]]]}"),
     "dir/t.json: layers[0].transform.position_keys[0][0]: key time must be after 0, the top-level "
     "value"},
    {"positionKeysBackwards",
     ADD("/layers/0/transform", "{\"position_keys\": [[2, [1, 2]], [1, [3, 4]]]}"),
     "dir/t.json: layers[0].transform.position_keys[1][0]: key times must increase"},
    {"maskWithoutPoints", REMOVE("/layers/0/masks/0/points"),
     "dir/t.json: layers[0].masks[0]: missing key \"points\""},
    {"maskNoPoints", REPLACE("/layers/0/masks/0/points", "[]"),
     "dir/t.json: layers[0].masks[0].points: a mask needs at least one point"},
    {"maskPointOfThree", REPLACE("/layers/0/masks/0/points/1", "[1, 2, 3]"),
     "dir/t.json: layers[0].masks[0].points[1]: must be a point [x, y]"},
    {"inTangentsShort", ADD("/layers/0/masks/0/in", "[[0, 0], [0, 0]]"),
     "dir/t.json: layers[0].masks[0].in: 2 tangents for 3 points"},
    {"outTangentsLong", ADD("/layers/0/masks/0/out", "[[0, 0], [0, 0], [0, 0], [0, 0]]"),
     "dir/t.json: layers[0].masks[0].out: 4 tangents for 3 points"},
    {"keyOfOtherPointCount", ADD("/layers/0/masks/0/keys", "[[1, {\"points\": [[0, 0]]}]]"),
     "dir/t.json: layers[0].masks[0].keys[0][1].points: 1 points, the mask has 3"},
    {"keyNotPair", ADD("/layers/0/masks/0/keys", "[[1]]"),
     "dir/t.json: layers[0].masks[0].keys[0]: a key must be [time, value]"},
    {"keyWithClosed",
     ADD("/layers/0/masks/0/keys",
         "[[1, {\"points\": [[0, 0], [1, 1], [2, 2]], \"closed\": false}]]"),
     "dir/t.json: layers[0].masks[0].keys[0][1]: unknown key \"closed\""},
    {"duplicateMaskName", ADD("/layers/0/masks/-", "{\"points\": [[0, 0]], \"name\": \"Mask 1\"}"),
     "dir/t.json: layers[0].masks[1].name: duplicate mask name \"Mask 1\""},
    {"effectWithoutMatch", REPLACE("/layers/0/effects/1", "{}"),
     "dir/t.json: layers[0].effects[1]: missing key \"match\""},
    {"paramKeyNotIndex", ADD("/layers/0/effects/1/params", "{\"x\": 1}"),
     "dir/t.json: layers[0].effects[1].params.x: a parameter key must be an index from 1 to 9999"},
    {"paramKeyZero", ADD("/layers/0/effects/1/params", "{\"0\": 1}"),
     "dir/t.json: layers[0].effects[1].params.0: a parameter key must be an index from 1 to 9999"},
    {"paramUnknownName", ADD("/layers/0/effects/1/params", "{\"85\": \"Carrd\"}"),
     "dir/t.json: layers[0].effects[1].params.85: \"Carrd\" names no mask of layer \"Card\" and no "
     "layer of the composition"},
    {"paramListOfThree", ADD("/layers/0/effects/1/params", "{\"3\": [1, 2, 3]}"),
     "dir/t.json: layers[0].effects[1].params.3: a list must be a colour [r, g, b, a] or a point "
     "[x, y]"},
    {"paramBadColour", ADD("/layers/0/effects/1/params", "{\"3\": [1, 2, 3, -1]}"),
     "dir/t.json: layers[0].effects[1].params.3: must be a colour [r, g, b, a] of 4 whole numbers "
     "in 0–255"},
    {"paramOtherObject", ADD("/layers/0/effects/1/params", "{\"3\": {\"layer\": \"Card\"}}"),
     "dir/t.json: layers[0].effects[1].params.3: an object must be {\"layer_id\": NAME}"},
    {"paramUnknownLayerId", ADD("/layers/0/effects/1/params", "{\"56\": {\"layer_id\": \"Sun\"}}"),
     "dir/t.json: layers[0].effects[1].params.56.layer_id: no layer is named \"Sun\""},
    {"selectedUnknown", ADD("/selected", "[\"Card\", \"Nope\"]"),
     "dir/t.json: selected[1]: no layer is named \"Nope\""},
    {"stepUnknown", ADD("/steps/-", "{\"jump\": 1}"),
     "dir/t.json: steps[1]: unknown step \"jump\""},
    {"stepTwoKeys", ADD("/steps/-", "{\"idle\": 1, \"render\": {}}"),
     "dir/t.json: steps[1]: a step must be an object of exactly one key"},
    {"idleNegative", ADD("/steps/-", "{\"idle\": -1}"),
     "dir/t.json: steps[1].idle: must be a whole number in 0–1000000"},
    {"renderPastEnd", REPLACE("/steps/0/render/time", "11"),
     "dir/t.json: steps[0].render.time: must lie within the composition (0 to 10 s)"},
    {"downsampleZero", ADD("/steps/0/render/downsample", "[0, 1]"),
     "dir/t.json: steps[0].render.downsample[0]: must be a whole number in 1–64"},
    {"downsampleOfOne", ADD("/steps/0/render/downsample", "[2]"),
     "dir/t.json: steps[0].render.downsample: must be [x, y]"},
    {"changeUnknownLayer",
     ADD("/steps/-", "{\"change\": {\"layer\": \"X\", \"effect\": 0, \"param\": 1, \"value\": 1}}"),
     "dir/t.json: steps[1].change.layer: no layer is named \"X\""},
    {"changeEffectOutOfRange",
     ADD("/steps/-",
         "{\"change\": {\"layer\": \"Card\", \"effect\": 2, \"param\": 1, \"value\": 1}}"),
     "dir/t.json: steps[1].change.effect: must be a whole number in 0–1"},
    {"changeOnLayerWithoutEffects",
     ADD("/steps/-",
         "{\"change\": {\"layer\": \"Light\", \"effect\": 0, \"param\": 1, \"value\": 1}}"),
     "dir/t.json: steps[1].change.effect: layer \"Light\" has no effects"},
    {"changeWithoutValue",
     ADD("/steps/-", "{\"change\": {\"layer\": \"Card\", \"effect\": 0, \"param\": 1}}"),
     "dir/t.json: steps[1].change: missing key \"value\""},
    {"changeUnknownMask",
     ADD("/steps/-",
         "{\"change\": {\"layer\": \"Card\", \"effect\": 0, \"param\": 4, \"value\": \"Mask 7\"}}"),
     "dir/t.json: steps[1].change.value: \"Mask 7\" names no mask of layer \"Card\" and no layer "
     "of the "
     "composition"},
    {"saveNumber", ADD("/steps/-", "{\"save\": 3}"),
     "dir/t.json: steps[1].save: must be a file path or {}"},
    // Keys other than the format's own words and indices are quoted, so that the path reads back.
    {"paramKeyAName", ADD("/layers/0/effects/1/params", "{\"Twist\": 1}"),
     "dir/t.json: layers[0].effects[1].params.\"Twist\": a parameter key must be an index from 1 "
     "to 9999"},
    {"paramKeyWithDotAndQuote", ADD("/layers/0/effects/1/params", "{\"a.b\\\"[0]\": 1}"),
     "dir/t.json: layers[0].effects[1].params.\"a.b\\\"[0]\": a parameter key must be an index "
     "from 1 to 9999"},
    {"paramKeyTimeOutside", ADD("/layers/0/effects/0/params/1", "{\"keys\": [[0, 2], [12, 4]]}"),
     "dir/t.json: layers[0].effects[0].params.1.keys[1][0]: must lie within the composition (0 to "
     "10 s)"},
    {"paramKeyValueBad", ADD("/layers/0/effects/0/params/1", "{\"keys\": [[0, [1, 2, 3]]]}"),
     "dir/t.json: layers[0].effects[0].params.1.keys[0][1]: a list must be a colour [r, g, b, a] "
     "or a point [x, y]"},
    {"paramKeysEmpty", ADD("/layers/0/effects/0/params/1", "{\"keys\": []}"),
     "dir/t.json: layers[0].effects[0].params.1.keys: must hold at least one key"},
    {"itemKindUnknown", ADD("/items", "[{\"name\": \"Clip\", \"kind\": \"comp\"}]"),
     "dir/t.json: items[0].kind: must be \"footage\" or \"folder\""},
    {"startPastEnd", ADD("/layers/0/start", "12"),
     "dir/t.json: layers[0].start: must lie within the composition (0 to 10 s)"},
    {"scaleZero", ADD("/comp/scales", "{\"time\": 0}"),
     "dir/t.json: comp.scales.time: must be a whole number in 1–1000000"},
};

INSTANTIATE_TEST_SUITE_P(All, SceneErrors, testing::ValuesIn(kErrorCases),
                         [](const testing::TestParamInfo<ErrorCase>& info) {
                           return info.param.name;
                         });

struct SyntaxCase {
  const char* name;
  const char* text;
  const char* prefix;
};

class SceneSyntax : public testing::TestWithParam<SyntaxCase> {};

TEST_P(SceneSyntax, namesLineAndColumn) {
  try {
    parseScene(GetParam().text, "s.json");
    FAIL() << "no error";
  } catch (const SceneError& e) {
    const std::string message = e.what();
    EXPECT_EQ(message.rfind(GetParam().prefix, 0), 0u) << message;
  }
}

const SyntaxCase kSyntaxCases[] = {
    {"badLiteral", "{\n  \"comp\": nope\n}",
     "s.json: line 2, column 12: syntax error while parsing value - invalid literal"},
    {"trailingComma", "{\"a\": 1,}",
     "s.json: line 1, column 9: syntax error while parsing object key"},
    {"empty", "", "s.json: line 1, column 1: syntax error while parsing value"},
};

INSTANTIATE_TEST_SUITE_P(All, SceneSyntax, testing::ValuesIn(kSyntaxCases),
                         [](const testing::TestParamInfo<SyntaxCase>& info) {
                           return info.param.name;
                         });

TEST(Scene, missingFileIsReported) {
  try {
    loadScene("/nonexistent/scene.json");
    FAIL();
  } catch (const SceneError& e) {
    EXPECT_EQ(std::string(e.what()), "/nonexistent/scene.json: cannot be read");
  }
}

TEST(Scene, defaultsFillWhatTheFileLeavesOut) {
  const SceneSpec s = parseScene(
      R"({"comp": {"width": 8, "height": 4, "fps": 29.97, "duration": 2},
          "layers": [{"name": "G", "kind": "gradient", "size": [8, 4],
                      "masks": [{"points": [[0, 0]]}]}]})",
      "x/y/z.json");
  EXPECT_EQ(s.comp.name, "Comp 1");
  EXPECT_EQ(s.comp.workStart, 0.0);
  EXPECT_EQ(s.comp.workDuration, 2.0);
  EXPECT_EQ(s.directory, "x/y");
  ASSERT_EQ(s.layers.size(), 1u);
  EXPECT_EQ(s.layers[0].masks[0].name, "Mask 1");
  EXPECT_TRUE(s.layers[0].masks[0].outline.shape.closed);
  EXPECT_EQ(s.layers[0].color.red, 0);
  EXPECT_EQ(s.layers[0].color2.red, 255);
  EXPECT_EQ(s.layers[0].direction.x, 1.0);
  EXPECT_EQ(s.layers[0].transform.scale.z, 100.0);
  ASSERT_EQ(s.steps.size(), 1u);
  EXPECT_EQ(std::get<RenderStep>(s.steps[0]).time, 0.0);
}

TEST(Scene, imagePathIsTakenFromTheSceneFolder) {
  const SceneSpec s = parseScene(
      R"({"comp": {"width": 8, "height": 4, "fps": 25, "duration": 2},
          "layers": [{"name": "P", "kind": "image", "path": "pics/a.png"}]})",
      "scenes/one.json");
#ifdef _WIN32
  // Joined with the system's own separator; either separator and drive letters are understood.
  EXPECT_EQ(resolveScenePath(s, s.layers[0].image), "scenes\\pics/a.png");
  EXPECT_EQ(resolveScenePath(s, "C:\\abs\\b.png"), "C:\\abs\\b.png");
  EXPECT_EQ(parseScene(R"({"comp": {"width": 8, "height": 4, "fps": 25, "duration": 2}})",
                       "C:\\scenes\\one.json")
                .directory,
            "C:\\scenes");
#else
  EXPECT_EQ(resolveScenePath(s, s.layers[0].image), "scenes/pics/a.png");
#endif
  EXPECT_EQ(resolveScenePath(s, "/abs/b.png"), "/abs/b.png");
}

TEST(Scene, demoParsesAsWritten) {
  const SceneSpec s = loadScene("examples/demo.json");
  EXPECT_EQ(s.comp.name, "Main");
  EXPECT_EQ(s.comp.fps, 25.0);
  ASSERT_EQ(s.layers.size(), 1u);
  const LayerSpec& card = s.layers[0];
  EXPECT_EQ(card.name, "Card");
  EXPECT_EQ(card.kind, LayerKind::Solid);
  EXPECT_EQ(card.width, 640);
  EXPECT_EQ(card.transform.anchor.x, 320.0);
  ASSERT_EQ(card.masks.size(), 2u);
  ASSERT_EQ(card.masks[0].outline.keys.size(), 1u);
  EXPECT_EQ(card.masks[0].outline.keys[0].time, 2.0);
  EXPECT_EQ(card.masks[0].outline.keys[0].shape.vertices[0].point.x, 120.0);
  EXPECT_EQ(card.masks[1].outline.shape.vertices[0].out.x, 55.0);
  ASSERT_EQ(card.effects.size(), 2u);
  EXPECT_EQ(card.effects[0].match, "ZEK TOLV_Mask");
  EXPECT_EQ(std::get<double>(card.effects[0].params.at(1)), 10.0);
  EXPECT_EQ(std::get<std::string>(card.effects[0].params.at(4)), "Mask 1");
  EXPECT_EQ(std::get<double>(card.effects[0].params.at(10)), -200.0);
  EXPECT_EQ(std::get<std::string>(card.effects[0].params.at(85)), "Card");
  EXPECT_EQ(card.effects[1].match, "ZEK TOLV_Engine");
  EXPECT_EQ(s.selected, std::vector<std::string>{"Card"});
  ASSERT_EQ(s.steps.size(), 3u);
  EXPECT_EQ(std::get<IdleStep>(s.steps[2]).count, 5);
}

TEST(Scene, everyKindOfValueRoundTrips) {
  const char* text = R"({
    "comp": {"name": "R", "width": 100, "height": 50, "fps": 30, "duration": 4, "work_area": [1, 2]},
    "layers": [
      {"name": "A", "kind": "solid", "size": [100, 50], "color": [1, 2, 3, 4], "parent": "N",
       "shy": true, "locked": true, "video": false,
       "transform": {"anchor": [1, 2], "position": [3, 4, 5], "scale": [50, 60],
                     "rotation": [10, 20, 30], "position_keys": [[1, [7, 8, 9]], [2.5, [0, 0]]]},
       "masks": [{"name": "M", "closed": false, "points": [[0, 0], [5, 5]],
                  "in": [[1, 1], [2, 2]], "out": [[3, 3], [4, 4]],
                  "keys": [[1.5, {"points": [[1, 0], [6, 5]]}]]}],
       "effects": [{"match": "ZEK TOLV_Mask",
                    "params": {"1": 3, "2": true, "4": "M", "7": null, "9": [1, 2],
                               "30": [10, 20, 30, 40], "56": {"layer_id": "L"}, "85": "B"}}]},
      {"name": "B", "kind": "gradient", "size": [4, 4], "color2": [9, 9, 9, 9], "direction": [0, 1]},
      {"name": "P", "kind": "image", "path": "p.png"},
      {"name": "L", "kind": "light"},
      {"name": "N", "kind": "null"}
    ],
    "selected": ["A", "B"],
    "steps": [
      {"change": {"layer": "A", "effect": 0, "param": 54, "value": 1}},
      {"render": {"time": 1.5, "downsample": [2, 3]}},
      {"idle": 2}, {"save": "p.tolv"}, {"open": {}}
    ]
  })";
  const json once = sceneToJson(parseScene(text, "r.json"));
  const json twice = sceneToJson(parseScene(once.dump(), "r.json"));
  EXPECT_EQ(once, twice);
  EXPECT_EQ(once["layers"][0]["effects"][0]["params"]["2"], 1.0);
  EXPECT_EQ(once["layers"][0]["effects"][0]["params"]["56"], (json{{"layer_id", "L"}}));
  EXPECT_EQ(once["layers"][0]["effects"][0]["params"]["30"], (json{10, 20, 30, 40}));
  EXPECT_EQ(once["layers"][0]["transform"]["scale"], (json{50.0, 60.0, 100.0}));
  EXPECT_EQ(once["layers"][0]["masks"][0]["keys"][0][1]["in"], (json{{0.0, 0.0}, {0.0, 0.0}}));
  EXPECT_EQ(once["steps"][4], (json{{"open", json::object()}}));
}

}  // namespace
}  // namespace tb::scene
