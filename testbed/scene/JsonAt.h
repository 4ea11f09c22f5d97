// Walking a scene file: a JSON value with its key path, read only through checks that fail with
// the path and what the value should have been. The reader of scene files reads nothing else.
#pragma once

#include <nlohmann/json.hpp>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "AE_Effect.h"
#include "testbed/scene/KeyPath.h"

namespace tb::scene {

class JsonAt {
 public:
  JsonAt(const nlohmann::json& value, KeyPath path) : value_(&value), path_(std::move(path)) {}

  const nlohmann::json& json() const { return *value_; }
  const KeyPath& path() const { return path_; }
  [[noreturn]] void fail(const std::string& what) const { path_.fail(what); }

  // --- objects ---
  // Fails unless this is an object whose keys are all among `keys`.
  void expectKeys(std::initializer_list<const char*> keys) const;
  bool has(const char* key) const { return value_->is_object() && value_->contains(key); }
  // The member `key`; fails here when it is missing.
  JsonAt at(const char* key) const;
  // The members of an object in file order, each with its own path; fails unless an object.
  std::vector<std::pair<std::string, JsonAt>> members(const char* what) const;

  // --- lists ---
  // Fails unless this is a list; `what` says what it should be, or "must be a list" by default.
  JsonAt list(const char* what = nullptr) const;
  size_t size() const { return value_->size(); }
  JsonAt operator[](size_t index) const { return JsonAt((*value_)[index], path_.item(index)); }

  // --- plain values ---
  double number() const;
  // A whole number in low … high.
  long long integer(long long low, long long high) const;
  std::string text() const;
  std::string name() const;  // a text that is not empty
  bool flag() const;
  A_FloatPoint point2() const;
  // [x, y] or [x, y, z]; a missing z is `z`.
  A_FloatPoint3 point3(double z) const;
  PF_Pixel color() const;

 private:
  const nlohmann::json* value_;
  KeyPath path_;
};

}  // namespace tb::scene
