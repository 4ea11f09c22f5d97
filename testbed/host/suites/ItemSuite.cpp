// "AEGP Item Suite" version 13: the active item, item types, durations, current time and sizes.
#include "testbed/host/suites/HostRefs.h"
#include "testbed/host/suites/Suites.h"
#include "testbed/world/Time.h"

namespace tb {

namespace {

A_Err AEGP_GetActiveItem(AEGP_ItemH* itemPH) {
  TB_ENTER(itemPH);
  if (!itemPH)
    return A_Err_PARAMETER;
  Item* active = Host::current().project().activeItem;
  *itemPH = reinterpret_cast<AEGP_ItemH>(lookup<Item>(active));
  return A_Err_NONE;
}

A_Err AEGP_GetItemType(AEGP_ItemH itemH, AEGP_ItemType* item_typeP) {
  TB_ENTER(item_typeP);
  Item* item = itemOf(itemH);
  if (!item || !item_typeP)
    return A_Err_PARAMETER;
  *item_typeP = item->type;
  return A_Err_NONE;
}

// Footage lasts as long as the composition it is used in; folders have no duration.
A_Err AEGP_GetItemDuration(AEGP_ItemH itemH, A_Time* durationPT) {
  TB_ENTER(durationPT);
  Item* item = itemOf(itemH);
  if (!item || !durationPT || !item->comp)
    return A_Err_PARAMETER;
  *durationPT = item->comp->duration;
  return A_Err_NONE;
}

A_Err AEGP_GetItemCurrentTime(AEGP_ItemH itemH, A_Time* curr_timePT) {
  TB_ENTER(curr_timePT);
  Item* item = itemOf(itemH);
  if (!item || !curr_timePT || item->type != AEGP_ItemType_COMP)
    return A_Err_PARAMETER;
  *curr_timePT = item->comp->currentTime;
  return A_Err_NONE;
}

// The time is kept at the scale the current time has; one that cannot be expressed there is
// refused.
A_Err AEGP_SetItemCurrentTime(AEGP_ItemH itemH, const A_Time* new_timePT) {
  TB_ENTER();
  Item* item = itemOf(itemH);
  if (!item || !new_timePT || item->type != AEGP_ItemType_COMP)
    return A_Err_PARAMETER;
  std::optional<A_Time> t = rescaleTime(*new_timePT, item->comp->currentTime.scale);
  if (!t)
    return A_Err_PARAMETER;
  item->comp->currentTime = *t;
  return A_Err_NONE;
}

A_Err AEGP_GetItemDimensions(AEGP_ItemH itemH, A_long* widthPL, A_long* heightPL) {
  TB_ENTER(widthPL, heightPL);
  Item* item = itemOf(itemH);
  if (!item || !widthPL || !heightPL || item->type == AEGP_ItemType_FOLDER)
    return A_Err_PARAMETER;
  if (item->type == AEGP_ItemType_COMP) {
    *widthPL = item->comp->width;
    *heightPL = item->comp->height;
  } else {
    *widthPL = item->layer ? item->layer->width : item->width;
    *heightPL = item->layer ? item->layer->height : item->height;
  }
  return A_Err_NONE;
}

const AEGP_ItemSuite13 kItem13 = {
    AEGP_GetActiveItem,      AEGP_GetItemType,        AEGP_GetItemDuration,
    AEGP_GetItemCurrentTime, AEGP_SetItemCurrentTime, AEGP_GetItemDimensions,
};

}  // namespace

void registerItemSuites(SuiteTable& table) {
  table.add(kAEGPItemSuite, 13, &kItem13);
}

}  // namespace tb
