// An open schedule of a few entries for the tests of the commands: its list,
// boxes and files faked, the files kept in a map.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/file_commands.h"
#include "fake_message_boxes.h"
#include "fake_visible_list.h"

namespace kvtest {

inline constexpr kv::Time kNow = 1'700'000'000;

inline kv::ScheduleEntry entryAt(kv::Time start, const std::string& description,
                                 char frequency = 'D') {
  kv::ScheduleEntry e;
  e.start = start;
  e.end = 4'000'000'000u;
  e.frequency = frequency;
  e.commandLine = "C:\\BIN\\TOOL.EXE /" + description;
  e.description = description;
  return e;
}

struct DocumentFixture {
  explicit DocumentFixture(int entries) {
    fill(entries);
    files.read = [this](const std::string& path) { return disk[path]; };
    files.write = [this](const std::string& path, std::string_view bytes) {
      if (path.find("readonly") != std::string::npos) return false;
      disk[path] = {kv::ReadStatus::Ok, std::string(bytes)};
      return true;
    };
    files.versionText = "3.0";
    files.clock = [] { return kNow; };
  }
  // Entries e0, e1, ... due in that order from kNow + 100, nothing changed.
  void fill(int entries) {
    store.clear();
    for (int i = 0; i < entries; ++i) {
      store.fileEntry(entryAt(kNow + 100 + static_cast<kv::Time>(i), "e" + std::to_string(i)));
    }
  }
  std::vector<std::string> lines() const {
    std::vector<std::string> all;
    for (std::size_t i = 0; i < store.size(); ++i) all.emplace_back(store.line(i));
    return all;
  }

  FakeVisibleList list;
  kv::ScheduleDocument document{list, [](kv::Time start, const std::string& description) {
                                  return std::to_string(start) + " " + description;
                                }};
  kv::ScheduleStore& store = document.store;
  FakeMessageBoxes boxes;
  kv::ScheduleFiles files;
  std::map<std::string, kv::FileContents> disk;  // a name not in it is not found
};

}  // namespace kvtest
