#include "TOLV_Mask/lights/LightName.h"

namespace {

// Bytes above 0x7F stay what they were (0x80..0xFF), never a sign-extended 0xFFxx unit.
void Widen(const A_char* text, std::vector<A_UTF16Char>& out) {
  for (; *text; ++text)
    out.push_back(static_cast<A_UTF16Char>(static_cast<unsigned char>(*text)));
}

}  // namespace

std::vector<A_UTF16Char> LightName(const A_char* effectName, const A_char* ending) {
  std::vector<A_UTF16Char> name;
  Widen("'", name);
  Widen(effectName, name);
  Widen("'", name);
  Widen(ending, name);
  name.push_back(0);
  return name;
}
