// kvtool.exe's way in and out: its arguments and file names as Windows has
// them (UTF-16, every character), and its output, which is UTF-8 like the
// native kvtool's: written as it is to a file or a pipe, and to a console
// as characters, through WriteConsoleW, whatever the console's code page.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace kv::tool {

// The arguments after the program's name, in UTF-8.
std::vector<std::string> utf8Arguments();

// fopen for a file name in UTF-8.
std::FILE* openUtf8File(const std::string& name, const wchar_t* mode);

// Standard output and standard error take UTF-8 from here on.
void writeUtf8ToConsoleOrFile();

}  // namespace kv::tool
