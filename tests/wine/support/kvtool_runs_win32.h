// kvtool.exe run by the black-box tests, as a script would run it.
#pragma once

#include <string>

namespace kvtest {

// kvtool.exe with these arguments (UTF-8, file names of any letters), and
// what it wrote on standard output and standard error: the file `output`,
// one of its own for each run, since the last one may hold its file a
// moment after it ended.
std::string runKvtool(const std::string& arguments, const std::string& output);

}  // namespace kvtest
