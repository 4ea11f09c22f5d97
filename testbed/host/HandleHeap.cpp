#include "testbed/host/HandleHeap.h"

#include <cstdlib>
#include <cstring>

namespace tb {

namespace {
// Bytes the host adds when it grows a handle are whatever was there: never zeros.
constexpr unsigned char kGarbage = 0xA5;
}  // namespace

HandleHeap::~HandleHeap() {
  for (Slot& slot : slots_)
    std::free(slot.data);
}

PF_Handle HandleHeap::allocate(A_u_longlong size, const std::string& owner) {
  void* data = blocks_.take(size);
  if (!data)
    return nullptr;
  std::memset(data, kGarbage, size);
  Slot& slot = slots_.emplace_back();
  slot.data = data;
  slot.size = size;
  slot.serial = slots_.size();
  slot.live = true;
  slot.owner = owner;
  PF_Handle h = &slot.data;
  index_[h] = slots_.size() - 1;
  ++live_;
  return h;
}

const HandleHeap::Slot* HandleHeap::find(PF_Handle h) const {
  auto it = index_.find(h);
  return it == index_.end() ? nullptr : &slots_[it->second];
}

HandleHeap::Slot* HandleHeap::find(PF_Handle h) {
  auto it = index_.find(h);
  return it == index_.end() ? nullptr : &slots_[it->second];
}

bool HandleHeap::live(PF_Handle h) const {
  const Slot* slot = find(h);
  return slot && slot->live;
}

bool HandleHeap::dispose(PF_Handle h) {
  Slot* slot = find(h);
  if (!slot || !slot->live)
    return false;
  blocks_.give(slot->data, slot->size);
  slot->data = nullptr;
  slot->live = false;
  --live_;
  return true;
}

A_u_longlong HandleHeap::size(PF_Handle h) const {
  const Slot* slot = find(h);
  return slot && slot->live ? slot->size : 0;
}

bool HandleHeap::resize(PF_Handle h, A_u_longlong size) {
  Slot* slot = find(h);
  if (!slot || !slot->live)
    return false;
  // Always move the block, as a host may, so that a plug-in keeping the old address shows.
  void* moved = blocks_.take(size);
  if (!moved)
    return false;
  std::memcpy(moved, slot->data, size < slot->size ? size : slot->size);
  if (size > slot->size)
    std::memset(static_cast<char*>(moved) + slot->size, kGarbage, size - slot->size);
  blocks_.give(slot->data, slot->size);
  slot->data = moved;
  slot->size = size;
  return true;
}

uint64_t HandleHeap::serial(PF_Handle h) const {
  const Slot* slot = find(h);
  return slot ? slot->serial : 0;
}

std::string HandleHeap::owner(PF_Handle h) const {
  const Slot* slot = find(h);
  return slot ? slot->owner : std::string();
}

std::map<std::string, size_t> HandleHeap::liveByOwner() const {
  std::map<std::string, size_t> counts;
  for (const Slot& slot : slots_) {
    if (slot.live)
      ++counts[slot.owner];
  }
  return counts;
}

}  // namespace tb
