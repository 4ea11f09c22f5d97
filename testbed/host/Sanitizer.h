// What the host does differently under the address sanitizer: memory it keeps for reuse, or whose
// address it never hands out again, is poisoned, so that a module reaching into it is caught as
// if the memory had been freed. Without the sanitizer these do nothing.
#pragma once

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define TB_ADDRESS_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TB_ADDRESS_SANITIZED 1
#endif
#endif

#if defined(TB_ADDRESS_SANITIZED)
#include <sanitizer/asan_interface.h>
#endif

namespace tb {

inline void poison(const void* block, size_t size) {
#if defined(TB_ADDRESS_SANITIZED)
  ASAN_POISON_MEMORY_REGION(block, size);
#else
  (void)block;
  (void)size;
#endif
}

inline void unpoison(const void* block, size_t size) {
#if defined(TB_ADDRESS_SANITIZED)
  ASAN_UNPOISON_MEMORY_REGION(block, size);
#else
  (void)block;
  (void)size;
#endif
}

}  // namespace tb
