// The texts of a schedule and of the history as the terminal is given them.
//
// Every text is UTF-8 by the time it is written: a schedule file of an
// earlier version is converted from its code page as it is read. Control
// characters (below 0x20, 0x7F, and 0x80 to 0x9F) are written as \xNN, so
// that no byte of a text can move the cursor, end a line or split a tsv
// field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kv::tool {

// Whether a character is written as \xNN rather than as itself.
bool isEscapedCharacter(std::uint32_t codePoint);
// Appends "\xNN" for a character below 0x100.
void appendEscaped(std::string& out, std::uint32_t codePoint);

// A UTF-8 text as it is with its control characters escaped; a byte that
// begins no valid UTF-8 sequence is escaped as itself.
std::string escapedUtf8(std::string_view utf8Text);
// The characters of a UTF-8 text: its bytes other than continuation bytes.
std::size_t utf8Length(std::string_view utf8Text);

}  // namespace kv::tool
