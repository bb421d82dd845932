// UTF-8, the form of every text inside Kivro, and the measure Windows takes
// of a text: its UTF-16 code units. A path, an edit control's limit and a
// window's text are counted in those units, so Kivro's limits are too.
//
// Texts that come from Windows are valid UTF-8; a damaged file or the bytes
// of a fuzzer may not be. Every function here takes any bytes: a byte that
// begins no valid sequence counts as one character of one unit, as Windows
// turns it into one U+FFFD.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kv {

struct Utf8Character {
  std::size_t length = 0;  // 0: no valid sequence begins here
  char32_t codePoint = 0;
};

// The character at the head of a text that is not empty.
Utf8Character utf8CharacterAt(std::string_view text);

// Whether every byte belongs to a valid sequence (no overlong form, no
// surrogate, nothing beyond U+10FFFF).
bool isValidUtf8(std::string_view text);

// The UTF-16 code units of the text: two for a character beyond U+FFFF,
// one for any other character and for each byte of no valid sequence. Never
// more than the bytes.
std::size_t utf16Length(std::string_view text);

// The longest head of the text within `units`, and the longest tail, never
// cut inside a character.
std::string_view utf16Head(std::string_view text, std::size_t units);
std::string_view utf16Tail(std::string_view text, std::size_t units);

void appendUtf8(std::string& out, char32_t codePoint);

// Windows-1252, the ANSI code page of western Windows, as UTF-8. The five
// bytes it leaves undefined become the C1 control characters of the same
// value, as Windows converts them.
std::string utf8FromWindows1252(std::string_view bytes);

}  // namespace kv
