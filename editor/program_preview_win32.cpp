#include "editor/program_preview_win32.h"

#include <commdlg.h>
#include <shellapi.h>

#include <iterator>

#include "engine/program_lookup_win32.h"
#include "resources/resource_ids.h"
#include "schedule/code_pages_win32.h"
#include "schedule/entry_line.h"

namespace kv {
namespace {

constexpr const wchar_t* kBrowseTitle = L"Browse";
constexpr wchar_t kBrowseFilter[] = L"All Files (*.*)\0*.*\0";

class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

class SolidBrush {
 public:
  explicit SolidBrush(COLORREF colour) : brush_(CreateSolidBrush(colour)) {}
  ~SolidBrush() {
    if (brush_) DeleteObject(brush_);
  }
  SolidBrush(const SolidBrush&) = delete;
  SolidBrush& operator=(const SolidBrush&) = delete;
  HBRUSH get() const { return brush_; }

 private:
  HBRUSH brush_;
};

class Icon {
 public:
  explicit Icon(HICON icon) : icon_(icon) {}
  ~Icon() {
    if (icon_) DestroyIcon(icon_);
  }
  Icon(const Icon&) = delete;
  Icon& operator=(const Icon&) = delete;
  HICON get() const { return icon_; }

 private:
  HICON icon_;
};

// The first icon of what the command line starts. Null when there is none.
HICON previewIcon(HINSTANCE instance, const std::string& commandLine,
                  const std::string& directory) {
  const FoundExecutable found = findExecutable(std::string(programPart(commandLine)), directory);
  if (!found.found()) return nullptr;
  HICON icon = ExtractIconW(instance, toWide(found.executable).c_str(), 0);
  // 1 says the file is no program, library or icon file.
  return icon == reinterpret_cast<HICON>(1) ? nullptr : icon;
}

// The icon area in the dialog's client coordinates.
RECT iconArea(HWND dialog) {
  RECT area;
  GetWindowRect(GetDlgItem(dialog, IDC_ICON_PREVIEW), &area);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
  return area;
}

}  // namespace

void drawProgramIcon(HWND dialog, HINSTANCE instance, const std::string& commandLine,
                     const std::string& workingDirectory) {
  const Icon icon(previewIcon(instance, commandLine, workingDirectory));
  const RECT area = iconArea(dialog);
  const WindowDc dc(dialog);
  const SolidBrush background(GetSysColor(COLOR_WINDOW));
  if (!dc.get()) return;
  HGDIOBJ previous = SelectObject(dc.get(), background.get());
  FillRect(dc.get(), &area, background.get());
  SelectObject(dc.get(), previous);
  if (icon.get()) DrawIcon(dc.get(), area.left, area.top, icon.get());
  ValidateRect(dialog, &area);
}

std::string browseForProgram(HWND dialog) {
  // Room for the command line's limit in characters: a longer path is
  // refused by the dialog, never cut.
  wchar_t file[kMaxText + 1] = L"";
  wchar_t fileTitle[256] = L"";
  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = dialog;
  request.lpstrFilter = kBrowseFilter;
  request.nFilterIndex = 1;
  request.lpstrFile = file;
  request.nMaxFile = std::size(file);
  request.lpstrFileTitle = fileTitle;
  request.nMaxFileTitle = std::size(fileTitle);
  request.lpstrTitle = kBrowseTitle;
  if (!GetOpenFileNameW(&request)) return {};
  return toUtf8(file);
}

}  // namespace kv
