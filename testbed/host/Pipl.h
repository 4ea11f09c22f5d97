// A plug-in's property list, read from the resource source (.r) that ships beside the module.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tb {

struct Pipl {
  struct Value {
    std::string text;  // numbers as written (decimal or hex), strings without their quotes
    bool quoted;
  };
  std::vector<std::pair<std::string, std::vector<Value>>> properties;

  bool has(const std::string& key) const;
  std::string text(const std::string& key, size_t i = 0) const;  // "" when absent
  int64_t number(const std::string& key, size_t i = 0) const;    // 0 when absent

  bool isEffect() const { return text("Kind") == "AEEffect"; }
  bool isGeneral() const { return text("Kind") == "AEGP"; }
  // The four-character kind code the host uses.
  std::string kindCode() const;
};

// Parses a PiPL resource source; throws std::runtime_error with "file:line: what" on bad input.
Pipl parsePipl(const std::string& text, const std::string& file);
Pipl readPipl(const std::string& path);

}  // namespace tb
