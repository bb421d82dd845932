// The schedule file named on the command line.
#pragma once

#include <string>
#include <string_view>

namespace kv {

// Everything after the program's own name (quoted or not) and the white
// space that follows it, taken whole: quotes, inner and trailing blanks stay.
std::string commandLineTail(std::string_view fullCommandLine);

}  // namespace kv
