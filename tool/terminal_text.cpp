#include "tool/terminal_text.h"

#include "schedule/utf8_text.h"

namespace kv::tool {

bool isEscapedCharacter(std::uint32_t codePoint) {
  return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

void appendEscaped(std::string& out, std::uint32_t codePoint) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += "\\x";
  out += kHex[(codePoint >> 4) & 0xF];
  out += kHex[codePoint & 0xF];
}

std::string escapedUtf8(std::string_view utf8Text) {
  std::string out;
  out.reserve(utf8Text.size());
  for (std::size_t at = 0; at < utf8Text.size();) {
    const Utf8Character c = utf8CharacterAt(utf8Text.substr(at));
    if (c.length == 0) {
      appendEscaped(out, static_cast<unsigned char>(utf8Text[at++]));
    } else if (isEscapedCharacter(c.codePoint)) {
      appendEscaped(out, c.codePoint);
    } else {
      out += utf8Text.substr(at, c.length);
    }
    at += c.length;
  }
  return out;
}

std::size_t utf8Length(std::string_view utf8Text) {
  std::size_t length = 0;
  for (char byte : utf8Text) {
    if ((static_cast<unsigned char>(byte) & 0xC0) != 0x80) ++length;
  }
  return length;
}

}  // namespace kv::tool
