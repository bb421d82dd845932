#include "schedule/packed_lines.h"

#include <algorithm>
#include <cstring>

#include "schedule/entry_line.h"
#include "schedule/utf8_text.h"

namespace kv {

static_assert(kMaxEntryLineBytes <= UINT16_MAX, "a row's size is 16 bits");

PackedRow PackedLines::pack(std::string_view line) {
  line = utf16Head(line, kMaxEntryLine);
  if (line.size() > room_) {
    blocks_.reserve(blocks_.size() + 1);
    // Not zeroed: only the bytes of lines are ever touched.
    blocks_.emplace_back(new char[kBlockSize]);
    room_ = kBlockSize;
  }
  char* at = blocks_.back().get() + (kBlockSize - room_);
  std::memcpy(at, line.data(), line.size());
  room_ -= line.size();
  packedBytes_ += line.size();
  return PackedRow{leadingStart(line), at, static_cast<std::uint16_t>(line.size())};
}

void PackedLines::append(std::string_view line) {
  const PackedRow row = pack(line);
  try {
    rows.push_back(row);
  } catch (...) {
    letGo(row);
    throw;
  }
}

bool PackedLines::worthRepacking() const {
  return gapBytes_ > kBlockSize && gapBytes_ > packedBytes_ - gapBytes_;
}

PackedLines PackedLines::repacked() const {
  PackedLines packed;
  packed.rows.reserve(rows.size());
  for (const PackedRow& row : rows) packed.rows.push_back(packed.pack(row.line()));
  return packed;
}

}  // namespace kv
