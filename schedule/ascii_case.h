// Text compared with the case of the ASCII letters ignored. Every other
// byte, the upper half included, compares as itself, by its unsigned value.
#pragma once

#include <algorithm>
#include <string_view>

namespace kv {

inline unsigned char foldAsciiCase(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

inline bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return foldAsciiCase(x) == foldAsciiCase(y); });
}

inline bool lessIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return foldAsciiCase(x) < foldAsciiCase(y);
  });
}

}  // namespace kv
