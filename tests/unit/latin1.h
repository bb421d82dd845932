// A stand-in for the ANSI code page in the tests: bytes from 0x80 up read as
// Latin-1, so that a text left unconverted shows.
#pragma once

#include <string>
#include <string_view>

namespace kvtest {

inline std::string latin1ToUtf8(std::string_view text) {
  std::string utf8;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xC0 | (byte >> 6));
      utf8 += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return utf8;
}

}  // namespace kvtest
