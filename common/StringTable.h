// A fixed table of texts, read by position.
#pragma once

#include "A.h"

struct TableString {
  A_u_long index;
  A_char str[1024];
};
