// Loops over arrays of floats are built twice on x86-64 Linux with GCC, for AVX2 and for the
// baseline, and the loader picks the copy the processor runs. The same IEEE operations in wider
// registers give the same bits, as long as no product is fused into an addition (the files using
// this are built without contraction).
#pragma once

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
#define TOLV_WIDE_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define TOLV_WIDE_CLONES
#endif
