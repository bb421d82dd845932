// The texts of a schedule as the terminal is given them.
//
// A schedule holds its texts as bytes of the Windows ANSI code page. Before
// they are written they are converted for the terminal, and control
// characters (below 0x20, 0x7F, and 0x80 to 0x9F once converted) are written
// as \xNN, so that no byte of a text can move the cursor, end a line or
// split a tsv field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kv::tool {

// Converts one text of a schedule for the terminal.
using TerminalText = std::function<std::string(std::string_view ansiText)>;
// Converts a line of UTF-8, its control characters already escaped, for
// the terminal; none given, the line is written as it is.
using Utf8Output = std::function<std::string(std::string_view utf8Line)>;

// Whether a character is written as \xNN rather than as itself.
bool isEscapedCharacter(std::uint32_t codePoint);
// Appends "\xNN" for a character below 0x100.
void appendEscaped(std::string& out, std::uint32_t codePoint);

// Windows-1252, the ANSI code page of western Windows, as UTF-8; the five
// bytes that 1252 leaves undefined are escaped like control bytes.
std::string utf8FromWindows1252(std::string_view ansiText);

// A UTF-8 text, such as one of the history, as it is with its control
// characters escaped; a byte that begins no valid UTF-8 sequence is escaped
// as itself.
std::string escapedUtf8(std::string_view utf8Text);
// The characters of a UTF-8 text: its bytes other than continuation bytes.
std::size_t utf8Length(std::string_view utf8Text);

}  // namespace kv::tool
