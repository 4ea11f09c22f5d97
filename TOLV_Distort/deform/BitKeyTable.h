// A fixed-size open-addressing table keyed on the exact bit patterns of a few floats, for
// remembering what a pure function of those floats gave. Keys that differ in any bit (+0 and -0,
// two NaNs) are different keys, so a remembered value is always the one the function would give.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

template <int N, typename Value>
class BitKeyTable {
 public:
  using Key = std::array<uint32_t, N>;

  // Room for about expected keys at no more than half load, which keeps probe runs short. The
  // probed entries hold only a tag of the key's hash and the place of its value, eight bytes, so
  // that probing stays in the processor's caches; keys and values lie together in the order they
  // came, which for a mesh is close to the order they are asked for again.
  explicit BitKeyTable(size_t expected) : entries_(Capacity(expected)), mask_(entries_.size() - 1) {
    stored_.reserve(entries_.size() / 2);
  }

  static Key KeyOf(const float (&words)[N]) {
    Key key;
    std::memcpy(key.data(), words, sizeof key);
    return key;
  }

  // Whether lookups are still made: false once few keys repeat.
  bool inUse() const { return worthIt(); }

  // The value of key: *found tells whether it holds the key's value already. A new key claims a
  // value for the caller to fill. nullptr when the key is new and the table takes no more: it is
  // full, or few keys repeat and looking them up would cost more than it saves.
  Value* find(const Key& key, bool* found) {
    *found = false;
    if (!worthIt())
      return nullptr;
    ++lookups_;
    const uint64_t hash = Hash(key);
    const uint32_t tag = static_cast<uint32_t>(hash >> 32);
    for (size_t i = hash & mask_;; i = (i + 1) & mask_) {
      Entry& e = entries_[i];
      if (e.place == 0)
        return claim(e, key, tag);
      if (e.tag == tag && Same(stored_[e.place - 1].key, key)) {
        ++hits_;
        *found = true;
        return &stored_[e.place - 1].value;
      }
    }
  }

 private:
  struct Entry {
    uint32_t tag;
    uint32_t place;  // 1 + the index of the key and value; 0 for an empty entry
  };
  struct Stored {
    Key key;
    Value value;
  };

  // After this many lookups the hit rate is judged; below a quarter, the table stands aside.
  static constexpr size_t kTrial = 4096;

  static size_t Capacity(size_t expected) {
    size_t capacity = 16;
    while (capacity < 2 * expected)
      capacity *= 2;
    return capacity;
  }

  // The words are mixed independently and then combined, so the multiplications do not wait on
  // one another.
  static uint64_t Hash(const Key& key) {
    uint64_t h = 0;
    for (int k = 0; k < N; ++k)
      h ^= (key[k] + 0x9E3779B97F4A7C15ull * (k + 1)) * 0xFF51AFD7ED558CCDull;
    return h ^ (h >> 31);
  }

  // Word by word without a library call: keys are compared on every probe that matches a tag.
  static bool Same(const Key& a, const Key& b) {
    uint32_t difference = 0;
    for (int k = 0; k < N; ++k)
      difference |= a[k] ^ b[k];
    return difference == 0;
  }

  bool worthIt() const { return lookups_ < kTrial || 4 * hits_ >= lookups_; }

  // Room is reserved for half the entries, so claiming never moves the values handed out.
  Value* claim(Entry& e, const Key& key, uint32_t tag) {
    if (stored_.size() == stored_.capacity())
      return nullptr;
    stored_.push_back({key, Value{}});
    e.tag = tag;
    e.place = static_cast<uint32_t>(stored_.size());
    return &stored_.back().value;
  }

  std::vector<Entry> entries_;
  size_t mask_;
  std::vector<Stored> stored_;
  size_t lookups_ = 0;
  size_t hits_ = 0;
};
