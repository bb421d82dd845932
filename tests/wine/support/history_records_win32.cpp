#include "history_records_win32.h"

#include <windows.h>
#include <shlobj.h>

#include "kivro_process_win32.h"

namespace kvtest {

std::string historyFolder() {
  char folder[MAX_PATH] = "";
  SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
  return std::string(folder) + "\\Kivro\\";
}

std::string historyPath() {
  return historyFolder() + "history.tsv";
}

std::vector<kv::HistoryRecord> historyLinesIn(const std::string& folder, kv::Time since) {
  const std::string bytes = readFile(historyFolder() + "history.1.tsv") + readFile(historyPath());
  std::vector<kv::HistoryRecord> mine;
  for (kv::HistoryRecord& record : kv::parseHistory(bytes)) {
    if (record.workingDirectory == folder && record.attempted >= since) {
      mine.push_back(std::move(record));
    }
  }
  return mine;
}

}  // namespace kvtest
