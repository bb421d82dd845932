#include "schedule/code_pages_win32.h"

namespace kv {

std::wstring wideFrom(std::string_view text, UINT codePage) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string narrowFrom(std::wstring_view text, UINT codePage) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length =
      WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

std::wstring toWide(std::string_view utf8) {
  return wideFrom(utf8, CP_UTF8);
}

std::string toUtf8(std::wstring_view wide) {
  return narrowFrom(wide, CP_UTF8);
}

std::string utf8FromAnsiCodePage(std::string_view bytes) {
  return toUtf8(wideFrom(bytes, CP_ACP));
}

}  // namespace kv
