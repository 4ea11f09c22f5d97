#include "TOLV_Mask/Skeleton_Strings.h"

#include "common/StringTable.h"

static const TableString g_strs[StrID_NUMTYPES] = {
    {StrID_NONE, ""},
    {StrID_Name, "ZEK Morvane"},
    {StrID_Description, "Mask controlled warping."},
};

const A_char* GetStringPtr(int strNum) {
  return g_strs[strNum].str;
}
