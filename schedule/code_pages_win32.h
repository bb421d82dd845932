// Texts between Kivro and Windows: the one place where kv.exe and kvtool.exe
// convert. Inside the program every text is UTF-8; every call to Windows
// takes and gives UTF-16, through its wide (W) function. Code pages other
// than UTF-8 are left only for files of earlier versions, which were
// written in the machine's ANSI code page.
#pragma once

#include <windows.h>

#include <cwchar>
#include <string>
#include <string_view>

namespace kv {

// UTF-8 to UTF-16 and back. A byte of no valid sequence, or half of a
// surrogate pair, becomes U+FFFD.
std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);

// The text of a zero-terminated buffer that Windows filled, in UTF-8.
template <std::size_t size>
std::string toUtf8(const wchar_t (&buffer)[size]) {
  return toUtf8(std::wstring_view(buffer, wcsnlen(buffer, size)));
}

// A file of an earlier version: its bytes in the ANSI code page, as UTF-8.
std::string utf8FromAnsiCodePage(std::string_view bytes);

// Bytes the code page does not define become U+FFFD.
std::wstring wideFrom(std::string_view text, UINT codePage);
// Characters the code page lacks become its default character.
std::string narrowFrom(std::wstring_view text, UINT codePage);

}  // namespace kv
