// The host functions a command called, in order, as a command report lists them.
//
// A render can make thousands of host calls (one sample per grid vertex), so counting one must
// cost no allocation: a name is kept as the address of its text, which is the serving function's
// own __func__ or a literal and so outlives every report. Strings are made only when a name is
// read. The list reads like a const std::vector<std::string> and converts to one.
#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string>
#include <vector>

namespace tb {

class CallList {
 public:
  class const_iterator {
   public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = std::string;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = std::string;

    const_iterator() = default;
    explicit const_iterator(const char* const* at) : at_(at) {}

    std::string operator*() const { return *at_; }
    std::string operator[](difference_type n) const { return at_[n]; }
    const_iterator& operator++() {
      ++at_;
      return *this;
    }
    const_iterator operator++(int) { return const_iterator(at_++); }
    const_iterator& operator--() {
      --at_;
      return *this;
    }
    const_iterator operator--(int) { return const_iterator(at_--); }
    const_iterator& operator+=(difference_type n) {
      at_ += n;
      return *this;
    }
    const_iterator& operator-=(difference_type n) {
      at_ -= n;
      return *this;
    }
    friend const_iterator operator+(const_iterator it, difference_type n) { return it += n; }
    friend const_iterator operator+(difference_type n, const_iterator it) { return it += n; }
    friend const_iterator operator-(const_iterator it, difference_type n) { return it -= n; }
    friend difference_type operator-(const_iterator a, const_iterator b) { return a.at_ - b.at_; }
    friend bool operator==(const_iterator a, const_iterator b) { return a.at_ == b.at_; }
    friend bool operator!=(const_iterator a, const_iterator b) { return a.at_ != b.at_; }
    friend bool operator<(const_iterator a, const_iterator b) { return a.at_ < b.at_; }
    friend bool operator>(const_iterator a, const_iterator b) { return a.at_ > b.at_; }
    friend bool operator<=(const_iterator a, const_iterator b) { return a.at_ <= b.at_; }
    friend bool operator>=(const_iterator a, const_iterator b) { return a.at_ >= b.at_; }

   private:
    const char* const* at_ = nullptr;
  };
  using iterator = const_iterator;
  using value_type = std::string;
  using size_type = std::size_t;
  using difference_type = std::ptrdiff_t;
  using reference = std::string;
  using const_reference = std::string;

  // `name` must outlive the list: a literal or a function's __func__.
  void push_back(const char* name) { names_.push_back(name); }
  void append(const CallList& other) {
    names_.insert(names_.end(), other.names_.begin(), other.names_.end());
  }

  std::size_t size() const { return names_.size(); }
  bool empty() const { return names_.empty(); }
  const_iterator begin() const { return const_iterator(names_.data()); }
  const_iterator end() const { return const_iterator(names_.data() + names_.size()); }
  std::string operator[](std::size_t i) const { return names_[i]; }
  std::string at(std::size_t i) const { return names_.at(i); }
  std::string front() const { return names_.front(); }
  std::string back() const { return names_.back(); }

  std::vector<std::string> strings() const { return {begin(), end()}; }
  operator std::vector<std::string>() const { return strings(); }

  friend bool operator==(const CallList& a, const CallList& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
  }
  friend bool operator==(const CallList& a, const std::vector<std::string>& b) {
    return a.size() == b.size() && std::equal(b.begin(), b.end(), a.names_.begin());
  }
  friend bool operator==(const std::vector<std::string>& a, const CallList& b) { return b == a; }
  friend bool operator!=(const CallList& a, const CallList& b) { return !(a == b); }
  friend bool operator!=(const CallList& a, const std::vector<std::string>& b) { return !(a == b); }
  friend bool operator!=(const std::vector<std::string>& a, const CallList& b) { return !(a == b); }

 private:
  std::vector<const char*> names_;
};

}  // namespace tb
