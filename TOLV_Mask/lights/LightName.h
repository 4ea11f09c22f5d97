// Names of the light layers the mask effect creates, as the host takes them: UTF-16, terminated.
#pragma once

#include <vector>

#include "A.h"

// "'" + effectName + "'" + ending, each byte widened to one unit as an unsigned value, followed by
// a terminating 0. effectName is read up to its terminator.
std::vector<A_UTF16Char> LightName(const A_char* effectName, const A_char* ending);

constexpr const A_char* kPathLightEnding = " path";
constexpr const A_char* kFollowerLightEnding = " follower";
