// The mask effect's string table.
#pragma once

#include "A.h"

enum { StrID_NONE, StrID_Name, StrID_Description, StrID_NUMTYPES };

const A_char* GetStringPtr(int strNum);
