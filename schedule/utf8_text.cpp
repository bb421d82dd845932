#include "schedule/utf8_text.h"

#include <array>
#include <cstdint>

namespace kv {
namespace {

// The lead bytes of the sequences longer than one byte: the length of the
// sequence, the bits of the lead byte that the character keeps, and its
// lowest character, below which the sequence would be an overlong one.
struct Utf8Lead {
  unsigned char first, last;
  std::size_t length;
  unsigned char bits;
  char32_t lowest;
};
constexpr Utf8Lead kUtf8Leads[] = {
    {0xC2, 0xDF, 2, 0x1F, 0x80},
    {0xE0, 0xEF, 3, 0x0F, 0x800},
    {0xF0, 0xF4, 4, 0x07, 0x10000},
};

constexpr char32_t kLastCharacter = 0x10FFFF;
constexpr char32_t kFirstBeyondBmp = 0x10000;

bool isSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDFFF;
}

// How far one character reaches, and its units: a byte of no valid
// sequence is a character of its own.
struct Step {
  std::size_t bytes;
  std::size_t units;
};

Step stepAt(std::string_view text) {
  if (static_cast<unsigned char>(text[0]) < 0x80) return {1, 1};
  const Utf8Character c = utf8CharacterAt(text);
  if (c.length == 0) return {1, 1};
  return {c.length, c.codePoint >= kFirstBeyondBmp ? std::size_t{2} : std::size_t{1}};
}

// The characters of bytes 0x80 to 0x9F in Windows-1252; 0 where it has none.
constexpr std::array<char16_t, 32> k1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98
};

}  // namespace

Utf8Character utf8CharacterAt(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return {1, lead};
  for (const Utf8Lead& l : kUtf8Leads) {
    if (lead < l.first || lead > l.last) continue;
    if (text.size() < l.length) return {};
    char32_t c = lead & l.bits;
    for (std::size_t i = 1; i < l.length; ++i) {
      const auto next = static_cast<unsigned char>(text[i]);
      if ((next & 0xC0) != 0x80) return {};
      c = (c << 6) | (next & 0x3Fu);
    }
    if (c < l.lowest || c > kLastCharacter || isSurrogate(c)) return {};
    return {l.length, c};
  }
  return {};
}

bool isValidUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      ++at;
      continue;
    }
    const std::size_t length = utf8CharacterAt(text.substr(at)).length;
    if (length == 0) return false;
    at += length;
  }
  return true;
}

std::size_t utf16Length(std::string_view text) {
  std::size_t units = 0;
  for (std::size_t at = 0; at < text.size();) {
    const Step step = stepAt(text.substr(at));
    at += step.bytes;
    units += step.units;
  }
  return units;
}

std::string_view utf16Head(std::string_view text, std::size_t units) {
  // No text has more units than bytes.
  if (text.size() <= units) return text;
  std::size_t at = 0;
  std::size_t used = 0;
  while (at < text.size()) {
    const Step step = stepAt(text.substr(at));
    if (used + step.units > units) break;
    used += step.units;
    at += step.bytes;
  }
  return text.substr(0, at);
}

std::string_view utf16Tail(std::string_view text, std::size_t units) {
  if (text.size() <= units) return text;
  const std::size_t total = utf16Length(text);
  std::size_t at = 0;
  for (std::size_t left = total; left > units;) {
    const Step step = stepAt(text.substr(at));
    left -= step.units;
    at += step.bytes;
  }
  return text.substr(at);
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < kFirstBeyondBmp) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string utf8FromWindows1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char byte : bytes) {
    const auto value = static_cast<unsigned char>(byte);
    const bool high = value >= 0x80 && value <= 0x9F && k1252High[value - 0x80] != 0;
    appendUtf8(out, high ? char32_t{k1252High[value - 0x80]} : char32_t{value});
  }
  return out;
}

}  // namespace kv
