// "AEGP Comp Suite" version 15: a composition's item, frame duration, work area and new lights.
#include <string>

#include "testbed/host/suites/HostRefs.h"
#include "testbed/host/suites/Suites.h"
#include "testbed/world/Time.h"

namespace tb {

namespace {

// The host reads a UTF-16 name up to its terminator; units above 0x7F are kept as '?', which is
// all the testbed needs to show a name.
constexpr size_t kMaxNameUnits = 1024;

bool narrowName(const A_UTF16Char* name, std::string& out) {
  for (size_t i = 0; i < kMaxNameUnits; ++i) {
    if (name[i] == 0)
      return true;
    out.push_back(name[i] < 0x80 ? static_cast<char>(name[i]) : '?');
  }
  return false;
}

A_Err AEGP_GetCompFromItem(AEGP_ItemH itemH, AEGP_CompH* compPH) {
  TB_ENTER(compPH);
  Item* item = itemOf(itemH);
  if (!item || !compPH || item->type != AEGP_ItemType_COMP)
    return A_Err_PARAMETER;
  *compPH = reinterpret_cast<AEGP_CompH>(item->comp);
  return A_Err_NONE;
}

A_Err AEGP_GetItemFromComp(AEGP_CompH compH, AEGP_ItemH* itemPH) {
  TB_ENTER(itemPH);
  Comp* comp = compOf(compH);
  if (!comp || !itemPH)
    return A_Err_PARAMETER;
  *itemPH = reinterpret_cast<AEGP_ItemH>(comp->item.get());
  return A_Err_NONE;
}

A_Err AEGP_GetCompFrameDuration(AEGP_CompH compH, A_Time* timeP) {
  TB_ENTER(timeP);
  Comp* comp = compOf(compH);
  if (!comp || !timeP)
    return A_Err_PARAMETER;
  *timeP = frameDuration(comp->fps);
  return A_Err_NONE;
}

A_Err AEGP_GetCompWorkAreaStart(AEGP_CompH compH, A_Time* work_area_startPT) {
  TB_ENTER(work_area_startPT);
  Comp* comp = compOf(compH);
  if (!comp || !work_area_startPT)
    return A_Err_PARAMETER;
  *work_area_startPT = comp->workStart;
  return A_Err_NONE;
}

A_Err AEGP_GetCompWorkAreaDuration(AEGP_CompH compH, A_Time* work_area_durationPT) {
  TB_ENTER(work_area_durationPT);
  Comp* comp = compOf(compH);
  if (!comp || !work_area_durationPT)
    return A_Err_PARAMETER;
  *work_area_durationPT = comp->workDuration;
  return A_Err_NONE;
}

A_Err AEGP_CreateLightInComp(AEGP_CompH parent_compH, const A_UTF16Char* nameZ,
                             const A_FloatPoint* centerPT, AEGP_LayerH* new_lightPH) {
  TB_ENTER(new_lightPH);
  Comp* comp = compOf(parent_compH);
  std::string name;
  if (!comp || !nameZ || !centerPT || !new_lightPH || !narrowName(nameZ, name))
    return A_Err_PARAMETER;
  Layer& light = Host::current().createLight(*comp, name, *centerPT);
  *new_lightPH = reinterpret_cast<AEGP_LayerH>(&light);
  return A_Err_NONE;
}

const AEGP_CompSuite15 kComp15 = {
    AEGP_GetCompFromItem,      AEGP_GetItemFromComp,         AEGP_GetCompFrameDuration,
    AEGP_GetCompWorkAreaStart, AEGP_GetCompWorkAreaDuration, AEGP_CreateLightInComp,
};

}  // namespace

void registerCompSuites(SuiteTable& table) {
  table.add(kAEGPCompSuite, 15, &kComp15);
}

}  // namespace tb
