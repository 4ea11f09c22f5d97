// The place of a value in a scene file, as a key path such as `layers[0].effects[1].params.85`,
// and the one way a scene fault is reported: the file, the place and what is wrong.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tb::scene {

class SceneError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class KeyPath {
 public:
  // The whole file, named `scene` in messages.
  explicit KeyPath(std::string file);

  // The member `name` of the object here. Keys of lower-case letters, digits and underscores
  // (every key the format has, and parameter indices) are written bare; any other is quoted as in
  // JSON, so that a key holding dots, brackets or blanks reads back as one key.
  KeyPath key(std::string_view name) const;
  // Item `index` of the list here.
  KeyPath item(size_t index) const;

  const std::string& file() const { return file_; }
  std::string str() const { return path_.empty() ? "scene" : path_; }

  // Throws SceneError "FILE: PATH: WHAT".
  [[noreturn]] void fail(const std::string& what) const;

 private:
  KeyPath(std::string file, std::string path) : file_(std::move(file)), path_(std::move(path)) {}

  std::string file_;
  std::string path_;
};

}  // namespace tb::scene
