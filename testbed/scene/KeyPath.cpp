#include "testbed/scene/KeyPath.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace tb::scene {

namespace {

bool plainKey(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
  });
}

}  // namespace

KeyPath::KeyPath(std::string file) : file_(std::move(file)) {}

KeyPath KeyPath::key(std::string_view name) const {
  const std::string written =
      plainKey(name)
          ? std::string(name)
          : nlohmann::json(name).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  return KeyPath(file_, path_.empty() ? written : path_ + "." + written);
}

KeyPath KeyPath::item(size_t index) const {
  return KeyPath(file_, path_ + "[" + std::to_string(index) + "]");
}

void KeyPath::fail(const std::string& what) const {
  throw SceneError(file_ + ": " + str() + ": " + what);
}

}  // namespace tb::scene
