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

// The lead bytes of the UTF-8 sequences longer than one byte: the length of
// the sequence, the bits of the lead byte that the character keeps, and its
// lowest character, below which the sequence would be an overlong one.
struct Utf8Lead {
  unsigned char first, last;
  std::size_t length;
  unsigned char bits;
  std::uint32_t lowest;
};
constexpr Utf8Lead kUtf8Leads[] = {
    {0xC2, 0xDF, 2, 0x1F, 0x80},
    {0xE0, 0xEF, 3, 0x0F, 0x800},
    {0xF0, 0xF4, 4, 0x07, 0x10000},
};

struct Utf8Character {
  std::size_t length = 0;  // 0: no valid sequence begins here
  std::uint32_t codePoint = 0;
};

// The character that the text begins with, which must not be empty.
Utf8Character utf8CharacterAt(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return {1, lead};
  for (const Utf8Lead& l : kUtf8Leads) {
    if (lead < l.first || lead > l.last) continue;
    if (text.size() < l.length) return {};
    std::uint32_t c = lead & l.bits;
    for (std::size_t i = 1; i < l.length; ++i) {
      const auto next = static_cast<unsigned char>(text[i]);
      if ((next & 0xC0) != 0x80) return {};
      c = (c << 6) | (next & 0x3Fu);
    }
    if (c < l.lowest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {};
    return {l.length, c};
  }
  return {};
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
