#include "tool/console_text_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <iostream>
#include <streambuf>

#include "schedule/code_pages_win32.h"

namespace kv::tool {
namespace {

// A stream buffer that hands whole characters to a console, or the bytes
// as they are to a file or a pipe.
class Utf8Output final : public std::streambuf {
 public:
  explicit Utf8Output(DWORD standardHandle) : handle_(GetStdHandle(standardHandle)) {
    DWORD mode = 0;
    console_ = GetConsoleMode(handle_, &mode) != 0;
  }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    pending_ += traits_type::to_char_type(c);
    if (c == '\n' || pending_.size() >= kChunk) flushWhole();
    return c;
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    pending_.append(text, static_cast<std::size_t>(count));
    if (pending_.size() >= kChunk) flushWhole();
    return count;
  }
  int sync() override {
    flushWhole();
    return 0;
  }

 private:
  static constexpr std::size_t kChunk = 4096;

  // A console takes characters: a sequence cut at the end of the buffer
  // waits for its rest.
  void flushWhole() {
    const std::size_t whole = console_ ? wholeCharacters() : pending_.size();
    write(std::string_view(pending_).substr(0, whole));
    pending_.erase(0, whole);
  }
  // The bytes before a last sequence that the end of the buffer cuts short.
  std::size_t wholeCharacters() const {
    const std::size_t end = pending_.size();
    for (std::size_t back = 1; back <= 3 && back <= end; ++back) {
      const auto byte = static_cast<unsigned char>(pending_[end - back]);
      if ((byte & 0xC0) == 0x80) continue;
      const std::size_t needs = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
      return needs > back ? end - back : end;
    }
    return end;
  }
  void write(std::string_view bytes) {
    if (bytes.empty()) return;
    DWORD written = 0;
    if (console_) {
      const std::wstring wide = toWide(bytes);
      WriteConsoleW(handle_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
      // Lines end in CR LF, as a Windows program's text output always has.
      std::string lines;
      lines.reserve(bytes.size() + bytes.size() / 16);
      for (char c : bytes) {
        if (c == '\n') lines += '\r';
        lines += c;
      }
      WriteFile(handle_, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
    }
  }

  HANDLE handle_;
  bool console_ = false;
  std::string pending_;
};

}  // namespace

std::vector<std::string> utf8Arguments() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> utf8;
  for (int i = 1; arguments && i < count; ++i) utf8.push_back(toUtf8(arguments[i]));
  LocalFree(arguments);
  return utf8;
}

std::FILE* openUtf8File(const std::string& name, const wchar_t* mode) {
  return _wfopen(toWide(name).c_str(), mode);
}

void writeUtf8ToConsoleOrFile() {
  std::cout.flush();
  std::cerr.flush();
  // Never freed: the streams flush into them as the program ends, after
  // every object of ours is gone.
  std::cout.rdbuf(new Utf8Output(STD_OUTPUT_HANDLE));
  std::cerr.rdbuf(new Utf8Output(STD_ERROR_HANDLE));
}

}  // namespace kv::tool
