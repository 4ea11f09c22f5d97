// The host's memory handles. A handle is the address of a block pointer in a slot that is never
// used again once the handle is disposed, and each slot carries a serial; so a stale or doubled
// disposal is always caught and never touches a newer handle. Each handle is accounted to the
// module whose command allocated it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "testbed/host/BlockPool.h"

namespace tb {

class HandleHeap {
 public:
  HandleHeap() = default;
  ~HandleHeap();
  HandleHeap(const HandleHeap&) = delete;
  HandleHeap& operator=(const HandleHeap&) = delete;

  // A new handle of size bytes (not cleared), owned by owner; null when memory runs out.
  PF_Handle allocate(A_u_longlong size, const std::string& owner);
  bool live(PF_Handle h) const;
  // False when h is not a live handle (stale, doubled or foreign); nothing is touched then.
  bool dispose(PF_Handle h);
  // 0 for a handle that is not live.
  A_u_longlong size(PF_Handle h) const;
  // Moves the block to a new address of the new size, as a host may; added bytes are garbage.
  // False when h is not live or memory runs out (the block is then as it was).
  bool resize(PF_Handle h, A_u_longlong size);
  // 0 for a handle that was never allocated here.
  uint64_t serial(PF_Handle h) const;
  std::string owner(PF_Handle h) const;
  size_t liveCount() const { return live_; }
  // Live handles by owner.
  std::map<std::string, size_t> liveByOwner() const;

 private:
  struct Slot {
    void* data = nullptr;  // the handle points here
    A_u_longlong size = 0;
    uint64_t serial = 0;
    bool live = false;
    std::string owner;
  };
  const Slot* find(PF_Handle h) const;
  Slot* find(PF_Handle h);

  BlockPool blocks_;
  std::deque<Slot> slots_;  // a deque keeps every slot where it is as it grows
  std::map<PF_Handle, size_t> index_;
  size_t live_ = 0;
};

}  // namespace tb
