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
  // table itself holds only keys and places; the values lie together in the order they came, so
  // that the probing walks as little memory as possible.
  explicit BitKeyTable(size_t expected) : entries_(Capacity(expected)), mask_(entries_.size() - 1) {
    values_.reserve(entries_.size() / 2);
  }

  static Key KeyOf(const float (&words)[N]) {
    Key key;
    std::memcpy(key.data(), words, sizeof key);
    return key;
  }

  // The value of key: *found tells whether it holds the key's value already. A new key claims a
  // value for the caller to fill. nullptr when the key is new and the table takes no more: it is
  // full, or few keys repeat and looking them up would cost more than it saves.
  Value* find(const Key& key, bool* found) {
    *found = false;
    if (!worthIt())
      return nullptr;
    ++lookups_;
    for (size_t i = Hash(key) & mask_;; i = (i + 1) & mask_) {
      Entry& e = entries_[i];
      if (e.place == 0)
        return claim(e, key);
      if (e.key == key) {
        ++hits_;
        *found = true;
        return &values_[e.place - 1];
      }
    }
  }

 private:
  struct Entry {
    Key key;
    uint32_t place;  // 1 + the index of the value; 0 for an empty entry
  };

  // After this many lookups the hit rate is judged; below a quarter, the table stands aside.
  static constexpr size_t kTrial = 4096;

  static size_t Capacity(size_t expected) {
    size_t capacity = 16;
    while (capacity < 2 * expected)
      capacity *= 2;
    return capacity;
  }

  static size_t Hash(const Key& key) {
    uint64_t h = 0x9E3779B97F4A7C15ull;
    for (uint32_t word : key)
      h = (h ^ word) * 0xFF51AFD7ED558CCDull;
    return static_cast<size_t>(h ^ (h >> 29));
  }

  bool worthIt() const { return lookups_ < kTrial || 4 * hits_ >= lookups_; }

  // Values are reserved for half the entries, so claiming never moves the ones handed out.
  Value* claim(Entry& e, const Key& key) {
    if (values_.size() == values_.capacity())
      return nullptr;
    values_.emplace_back();
    e.key = key;
    e.place = static_cast<uint32_t>(values_.size());
    return &values_.back();
  }

  std::vector<Entry> entries_;
  size_t mask_;
  std::vector<Value> values_;
  size_t lookups_ = 0;
  size_t hits_ = 0;
};
