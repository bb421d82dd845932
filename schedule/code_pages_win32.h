// Texts between a Windows code page and UTF-16: the one place where kv.exe
// and kvtool.exe convert.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace kv {

// Bytes the code page does not define become U+FFFD.
std::wstring wideFrom(std::string_view text, UINT codePage);
// Characters the code page lacks become its default character.
std::string narrowFrom(std::wstring_view text, UINT codePage);

}  // namespace kv
