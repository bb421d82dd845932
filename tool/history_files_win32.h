// Where kvtool.exe finds the history that kv.exe keeps.
#pragma once

#include <string>
#include <vector>

namespace kv::tool {

struct DefaultHistory {
  // The Kivro folder of the local application data; empty when Windows
  // cannot say where that is.
  std::string folder;
  // history.1.tsv, the earlier file, before history.tsv: those that exist.
  std::vector<std::string> files;
};

DefaultHistory findDefaultHistory();

// The full path of a file as kv.exe names a schedule in its records.
std::string fullPathOf(const std::string& file);

}  // namespace kv::tool
