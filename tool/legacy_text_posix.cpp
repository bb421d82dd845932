// The single-byte Windows code pages through the C library's iconv; 1252,
// the default, by Kivro's own table so that it needs nothing installed.
// 1255 and 1258 are left out: the C library joins their combining marks to
// the letters before them, where Windows keeps them apart.
#include "tool/legacy_text.h"

#include <iconv.h>

#include <array>
#include <memory>

#include "schedule/utf8_text.h"

namespace kv::tool {
namespace {

constexpr std::array<unsigned, 7> kIconvCodePages = {874, 1250, 1251, 1253, 1254, 1256, 1257};

constexpr char32_t kReplacement = 0xFFFD;

struct IconvClose {
  void operator()(iconv_t* converter) const {
    iconv_close(*converter);
    delete converter;
  }
};
using Converter = std::unique_ptr<iconv_t, IconvClose>;

Converter openConverter(unsigned codePage) {
  const std::string name = "CP" + std::to_string(codePage);
  const iconv_t converter = iconv_open("UTF-8", name.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return nullptr;
  return Converter(new iconv_t(converter));
}

// Each byte on its own: the code pages have one character a byte. A byte
// they leave undefined becomes, as in 1252, the C1 control character of its
// value, which kvtool shows as \xNN; one from 0xA0 up, U+FFFD.
std::string convert(iconv_t converter, std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char byte : bytes) {
    char in[1] = {byte};
    char room[8];
    char* from = in;
    std::size_t fromLeft = 1;
    char* to = room;
    std::size_t toLeft = sizeof room;
    if (iconv(converter, &from, &fromLeft, &to, &toLeft) == static_cast<std::size_t>(-1)) {
      const auto value = static_cast<unsigned char>(byte);
      appendUtf8(out, value < 0xA0 ? char32_t{value} : kReplacement);
    } else {
      out.append(room, sizeof room - toLeft);
    }
  }
  return out;
}

bool iconvReads(unsigned codePage) {
  for (unsigned page : kIconvCodePages) {
    if (page == codePage) return true;
  }
  return false;
}

}  // namespace

std::optional<LegacyTextReader> legacyTextReader(unsigned codePage) {
  if (codePage == kDefaultCodePage || codePage == 1252)
    return LegacyTextReader(utf8FromWindows1252);
  if (!iconvReads(codePage)) return std::nullopt;
  std::shared_ptr<iconv_t> converter = openConverter(codePage);
  if (!converter) return std::nullopt;
  return LegacyTextReader(
      [converter](std::string_view bytes) { return convert(*converter, bytes); });
}

std::string readableCodePages() {
  return "874, 1250, 1251, 1252, 1253, 1254, 1256 and 1257";
}

}  // namespace kv::tool
