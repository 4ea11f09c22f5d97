// Memory whose addresses are never handed out twice. Blocks are cut one after another from one
// large reserved range; the pages under blocks that were all given back are returned to the
// system, so a long run keeps its resident memory flat while no freed address is ever reused.
#pragma once

#include <cstddef>
#include <unordered_map>

namespace tb {

class AddressArena {
 public:
  AddressArena();
  ~AddressArena();
  AddressArena(const AddressArena&) = delete;
  AddressArena& operator=(const AddressArena&) = delete;

  // A fresh block of size bytes, aligned for any object; throws std::bad_alloc when the range is
  // used up.
  void* take(size_t size);
  // Ends a block; its address stays unused for the arena's life.
  void give(void* block, size_t size);

 private:
  void release(size_t page);
  void watchUpTo(size_t end);

  char* base_ = nullptr;
  size_t next_ = 0;                          // offset of the next block
  size_t watched_ = 0;                       // bytes from base_ the leak checker scans
  std::unordered_map<size_t, size_t> live_;  // live blocks per page touched
};

}  // namespace tb
