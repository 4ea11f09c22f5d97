// What "ZEK TOLV_TestUi" fills in for PF_Cmd_COMPLETELY_GENERAL: the time its PF_InData gave, and
// "Amount" checked out at that time.
#pragma once

#include "A.h"

struct TimedRead {
  A_Time seen = {0, 0};
  A_long amount = -1;
};
