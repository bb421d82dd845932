// The history of starts that kv.exe writes, as the black-box tests read it.
#pragma once

#include <string>
#include <vector>

#include "engine/history.h"

namespace kvtest {

// %LOCALAPPDATA%\Kivro\, where kv.exe keeps history.tsv.
std::string historyFolder();
std::string historyPath();

// The lines, starts and ends, for one test's entries: those of starts made
// since it began whose working directory is its scratch folder (an end
// repeats its start's fields). Other tests and earlier runs write to the
// same history (and may have used a folder of the same name), and it may be
// moved aside to history.1.tsv at any line; both files are read, the
// earlier first.
std::vector<kv::HistoryRecord> historyLinesIn(const std::string& folder, kv::Time since);

}  // namespace kvtest
