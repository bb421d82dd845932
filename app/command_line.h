// The schedule file named on the command line.
#pragma once

#include <string>
#include <string_view>

namespace kv {

// Everything after the program's own name (quoted or not) and the white
// space that follows it, taken whole: inner and trailing blanks stay.
std::string commandLineTail(std::string_view fullCommandLine);

// The schedule file name in a command-line tail: the text as it stands, but
// without one pair of double quotes that encloses it all, as the Windows
// shell passes a file it opens ("%1"). No file name can hold a quote.
std::string scheduleFileArgument(std::string_view tail);

}  // namespace kv
