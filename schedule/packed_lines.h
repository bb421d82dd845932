// The store's lines packed end to end in large blocks, each with its start.
//
// A line costs its bytes and no allocation of its own: at a million entries
// that is what lets a 32-bit process hold the schedule. A line that is let
// go leaves a gap until the lines are packed again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "schedule/schedule_time.h"

namespace kv {

struct PackedRow {
  Time start;
  const char* bytes;  // in a block of the PackedLines that holds the row
  std::uint16_t size;

  std::string_view line() const { return {bytes, size}; }
};

class PackedLines {
 public:
  // Copies the line into a block (at most kMaxEntryLine characters are taken).
  // The row is not added to rows; running out of memory changes nothing.
  PackedRow pack(std::string_view line);
  // Packs the line and appends its row.
  void append(std::string_view line);
  // The bytes of a row taken out of rows now stand as a gap.
  void letGo(const PackedRow& row) { gapBytes_ += row.size; }
  // When the gaps outweigh the lines, packing them again pays.
  bool worthRepacking() const;
  // The same rows in the same order, without gaps. Throws std::bad_alloc.
  PackedLines repacked() const;

  std::vector<PackedRow> rows;

 private:
  static constexpr std::size_t kBlockSize = std::size_t{1} << 20;
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t room_ = 0;  // free bytes at the end of the last block
  std::size_t packedBytes_ = 0;
  std::size_t gapBytes_ = 0;
};

}  // namespace kv
