#include "app/handled_starts_file_win32.h"

#include <algorithm>

#include "engine/handled_starts.h"

namespace kv {

HandledStartsFile::HandledStartsFile(std::string path)
    : AppendedFile(std::move(path), kHandledStartsHeader, L"Local\\Kivro.handled") {}

void HandledStartsFile::makeRoom(std::uint64_t size, std::size_t adding) {
  if (size + adding <= compactAt_) return;
  // A record that cannot be read or rewritten goes on growing: nothing of
  // it is lost.
  const std::string bytes = readSharedFile(path());
  const std::string compacted = bytes.empty() ? std::string() : compactHandledStarts(bytes);
  if (!compacted.empty() && replaceWholeFile(path(), compacted)) {
    compactAt_ = std::max<std::uint64_t>(kHandledStartsCompactAt, 2 * compacted.size());
  } else {
    compactAt_ = 2 * size;
  }
}

std::string handledStartsFilePath() {
  return kivroDataPath("handled.tsv");
}

}  // namespace kv
