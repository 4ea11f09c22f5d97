// Basic host types shared by the effect and general plug-in interfaces.
#pragma once

#include <cstdint>

typedef int32_t A_long;
typedef uint32_t A_u_long;
typedef int16_t A_short;
typedef uint16_t A_u_short;
typedef char A_char;
typedef unsigned char A_u_char;
typedef unsigned char A_Boolean;
typedef double A_FpLong;
typedef float A_FpShort;
typedef int32_t A_Err;
typedef void* A_Handle;
typedef uintptr_t A_intptr_t;
typedef uint64_t A_u_longlong;
typedef uint16_t A_UTF16Char;

enum { A_Err_NONE = 0, A_Err_GENERIC = 1, A_Err_STRUCT = 2, A_Err_PARAMETER = 3, A_Err_ALLOC = 4 };

typedef struct {
  A_long value;
  A_u_long scale;
} A_Time;

typedef struct {
  A_long num;
  A_u_long den;
} A_Ratio;

typedef struct {
  A_FpLong x, y;
} A_FloatPoint;

typedef struct {
  A_FpLong x, y, z;
} A_FloatPoint3;

// Row-major; points are row vectors with the translation in row 3.
typedef struct {
  A_FpLong mat[4][4];
} A_Matrix4;

typedef struct {
  A_long left, top, right, bottom;
} A_LRect;

typedef struct {
  A_short top, left, bottom, right;
} A_LegacyRect;
