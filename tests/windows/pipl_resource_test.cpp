// The PiPL resource compiled into each Windows module says what the .r file beside it says.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "testbed/host/Pipl.h"
#include "tests/support/Modules.h"

namespace {

struct Property {
  std::string vendor;
  std::string key;
  std::vector<unsigned char> data;
};

// A four-character code is stored as the integer of its characters, high byte first.
std::string code(uint32_t value) {
  return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

uint32_t codeValue(const char* c) {
  return uint32_t(uint8_t(c[0])) << 24 | uint32_t(uint8_t(c[1])) << 16 |
         uint32_t(uint8_t(c[2])) << 8 | uint8_t(c[3]);
}

uint32_t u32(const unsigned char* p) {
  uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// Reads resource 16000 of type "PiPL"; fails the test on any malformed length.
std::vector<Property> resourceProperties(const std::string& module) {
  std::vector<Property> properties;
  HMODULE m = ::LoadLibraryExA(module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  EXPECT_NE(m, nullptr) << module;
  if (!m)
    return properties;
  HRSRC found = ::FindResourceA(m, MAKEINTRESOURCEA(16000), "PiPL");
  EXPECT_NE(found, nullptr) << module << ": no PiPL resource 16000";
  if (found) {
    const auto* bytes = static_cast<const unsigned char*>(::LockResource(::LoadResource(m, found)));
    const size_t size = ::SizeofResource(m, found);
    EXPECT_GE(size, 10u);
    EXPECT_EQ(bytes[0] | bytes[1] << 8, 1) << "reserved word";
    EXPECT_EQ(u32(bytes + 2), 0u) << "list version";
    const uint32_t count = u32(bytes + 6);
    size_t at = 10;
    for (uint32_t i = 0; i < count && at + 16 <= size; ++i) {
      Property p{code(u32(bytes + at)), code(u32(bytes + at + 4)), {}};
      EXPECT_EQ(u32(bytes + at + 8), 0u) << "property id";
      const uint32_t length = u32(bytes + at + 12);
      at += 16;
      EXPECT_LE(at + length, size);
      p.data.assign(bytes + at, bytes + std::min(size, at + length));
      at += (length + 3) / 4 * 4;
      properties.push_back(p);
    }
    EXPECT_EQ(properties.size(), count);
    EXPECT_EQ(at, size) << "bytes after the last property";
  }
  ::FreeLibrary(m);
  return properties;
}

std::vector<unsigned char> littleEndian(uint32_t v) {
  return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

std::vector<unsigned char> pascalString(const std::string& s) {
  std::vector<unsigned char> out{uint8_t(s.size())};
  out.insert(out.end(), s.begin(), s.end());
  return out;
}

class PiplResource : public ::testing::TestWithParam<const char*> {};

TEST_P(PiplResource, holdsTheWindowsPropertiesOfTheSourceInOrder) {
  const std::string name = GetParam();
  const tb::Pipl source = tb::readPipl(tbtest::buildDir() + "/plugins/" + name + ".r");
  const std::vector<Property> resource = resourceProperties(tbtest::modulePath(name));
  static const std::map<std::string, std::string> keys = {{"Kind", "kind"},
                                                          {"Name", "name"},
                                                          {"Category", "catg"},
                                                          {"Version", "vers"},
                                                          {"CodeWin64X86", "8664"},
                                                          {"AE_PiPL_Version", "ePVR"},
                                                          {"AE_Effect_Spec_Version", "eSVR"},
                                                          {"AE_Effect_Version", "eVER"},
                                                          {"AE_Effect_Info_Flags", "eINF"},
                                                          {"AE_Effect_Global_OutFlags", "eGLO"},
                                                          {"AE_Effect_Global_OutFlags_2", "eGL2"},
                                                          {"AE_Effect_Match_Name", "eMNA"},
                                                          {"AE_Reserved_Info", "aeFL"}};
  size_t i = 0;
  for (const auto& [key, values] : source.properties) {
    if (key == "CodeMacIntel64")
      continue;  // the macOS branch of the source
    ASSERT_LT(i, resource.size()) << key;
    const Property& p = resource[i++];
    EXPECT_EQ(p.vendor, "8BIM");
    EXPECT_EQ(p.key, keys.at(key)) << key;
    std::vector<unsigned char> expected;
    if (key == "Kind") {
      expected = littleEndian(codeValue(source.isEffect() ? "eFKT" : "AEgx"));
    } else if (key == "CodeWin64X86") {
      expected.assign(values[0].text.begin(), values[0].text.end());
      expected.push_back(0);
    } else if (values[0].quoted) {
      expected = pascalString(values[0].text);
    } else if (values.size() == 2) {
      expected = littleEndian(uint32_t(source.number(key, 0) << 16 | source.number(key, 1)));
    } else {
      expected = littleEndian(uint32_t(source.number(key)));
    }
    EXPECT_EQ(p.data, expected) << key;
  }
  EXPECT_EQ(i, resource.size()) << "properties the source does not have";
}

INSTANTIATE_TEST_SUITE_P(Deliverables, PiplResource,
                         ::testing::Values("TOLV_Mask", "TOLV_Distort", "TOLV_AEGP"));

}  // namespace
