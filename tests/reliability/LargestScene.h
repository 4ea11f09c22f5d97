// The heaviest layer the effects meet: ten masks, the finest grid ("X subdivide" 50, "Y subdivide"
// 99), caps at both ends and a terrain, with a distort effect holding a full slot below the mask
// effect and the stand-in renderer at the bottom.
#pragma once

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "TOLV_Distort/DistortParams.h"
#include "TOLV_Mask/Params.h"
#include "common/MeshSlot.h"
#include "testbed/host/Host.h"
#include "testbed/world/World.h"
#include "tests/support/Modules.h"

namespace reliab {

// A closed polygon of n straight segments around a centre.
inline tb::Outline polygon(double cx, double cy, double radius, int n) {
  tb::Outline o;
  o.shape.closed = true;
  for (int i = 0; i < n; ++i) {
    const double a = 2 * M_PI * i / n;
    o.shape.vertices.push_back(
        {{cx + radius * std::cos(a), cy + radius * std::sin(a)}, {0, 0}, {0, 0}});
  }
  return o;
}

// A full record: 20,000 small triangles spread over the layer, for the distort effect's store.
inline std::unique_ptr<MeshSlot> fullRecord() {
  auto record = std::make_unique<MeshSlot>();
  std::memset(record.get(), 0, sizeof(MeshSlot));
  for (int i = 0; i < kMaxTriangles; ++i) {
    triangle& t = record->triangles[i];
    const float x = static_cast<float>(i % 200) * 3.0f;
    const float y = static_cast<float>(i / 200) * 3.0f;
    t.vertexA = {x, y, 0};
    t.vertexB = {x + 3, y, 0};
    t.vertexC = {x, y + 3, -5};
    t.faceNormal = t.normalA = t.normalB = t.normalC = {0, 0, -1};
    t.uvB = {1, 0};
    t.uvC = {0, 1};
  }
  record->triangleCount = kMaxTriangles;
  record->slotIndex = 1;
  record->meshEnabled = 1;
  return record;
}

struct LargestScene {
  tb::Comp* comp = nullptr;
  tb::Layer* layer = nullptr;
  tb::Effect* mask = nullptr;
  tb::Effect* distort = nullptr;
};

// Builds the scene in a host that has the mask, distort and renderer modules loaded.
inline LargestScene buildLargestScene(tb::Host& host) {
  LargestScene s;
  s.comp = &host.addComp("Main", 640, 360);
  tb::Layer& terrain = host.addLayer(*s.comp, "Terrain", 640, 360);
  terrain.pixels = tb::makeSolid(640, 360, PF_Pixel{255, 90, 160, 220});
  s.layer = &host.addLayer(*s.comp, "Card", 640, 360);
  s.layer->pixels = tb::makeSolid(640, 360, PF_Pixel{255, 200, 100, 50});
  s.mask = &host.applyEffect(*s.layer, *host.moduleByMatchName("ZEK TOLV_Mask"));
  s.distort = &host.applyEffect(*s.layer, *host.moduleByMatchName("ZEK TOLV_Distort"));
  host.applyEffect(*s.layer, *host.moduleByMatchName("ZEK TOLV_Engine"));

  std::vector<PF_ParamDef>& p = s.mask->params;
  p[MASK_X_SUBDIVIDE].u.sd.value = 50;
  p[MASK_Y_SUBDIVIDE].u.sd.value = 99;
  for (int row = 1; row <= kMaskRows; ++row) {
    const PF_PathID id = host.addMask(*s.layer, "Mask " + std::to_string(row),
                                      polygon(320, 180, 40.0 + 12 * row, 6 + row));
    p[MaskPathParam(row)].u.path_d.path_id = id;
    p[MaskDepthParam(row)].u.fs_d.value = -30.0 * row;
  }
  p[MASK_FILL_MASKS].u.pd.value = 4;  // "Last & first"
  s.mask->layerIds[MASK_TERRAIN_SOURCE] = terrain.id;
  p[MASK_Z_DISPLACE].u.fs_d.value = 120;

  std::vector<PF_ParamDef>& d = s.distort->params;
  d[DISTORT_TWIST_LEFT_X].u.ad.value = 30 * 65536;
  d[DISTORT_BEND_HORIZONTAL].u.ad.value = 20 * 65536;
  d[DISTORT_EXPLODE].u.fs_d.value = 5;
  d[DISTORT_ROTATION_Y].u.ad.value = 15 * 65536;
  const std::unique_ptr<MeshSlot> record = fullRecord();
  host.sendToEffect(*s.distort, PF_Cmd_COMPLETELY_GENERAL, record.get());
  return s;
}

}  // namespace reliab
