// Any code page Windows has, through MultiByteToWideChar, as kv.exe reads a
// file of an earlier version; none named, the machine's ANSI code page.
#include "tool/legacy_text.h"

#include <windows.h>

#include "schedule/code_pages_win32.h"

namespace kv::tool {

std::optional<LegacyTextReader> legacyTextReader(unsigned codePage) {
  if (codePage == kDefaultCodePage) return LegacyTextReader(utf8FromAnsiCodePage);
  if (!IsValidCodePage(codePage)) return std::nullopt;
  return LegacyTextReader(
      [codePage](std::string_view bytes) { return toUtf8(wideFrom(bytes, codePage)); });
}

std::string readableCodePages() {
  return "the code pages Windows has installed";
}

}  // namespace kv::tool
