#include "tool/terminal_text.h"

#include <array>

namespace kv::tool {
namespace {

// The characters of bytes 0x80 to 0x9F in Windows-1252; 0 where it has none.
constexpr std::array<char16_t, 32> k1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98
};

void appendUtf8(std::string& out, std::uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

bool isEscapedCharacter(std::uint32_t codePoint) {
  return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

void appendEscaped(std::string& out, std::uint32_t codePoint) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += "\\x";
  out += kHex[(codePoint >> 4) & 0xF];
  out += kHex[codePoint & 0xF];
}

std::string utf8FromWindows1252(std::string_view ansiText) {
  std::string out;
  out.reserve(ansiText.size());
  for (char byte : ansiText) {
    const auto value = static_cast<unsigned char>(byte);
    std::uint32_t c = value;
    // An undefined byte stays a C1 control character, and is escaped.
    if (value >= 0x80 && value <= 0x9F && k1252High[value - 0x80] != 0) {
      c = k1252High[value - 0x80];
    }
    if (isEscapedCharacter(c)) {
      appendEscaped(out, c);
    } else {
      appendUtf8(out, c);
    }
  }
  return out;
}

}  // namespace kv::tool
