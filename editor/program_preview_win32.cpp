#include "editor/program_preview_win32.h"

#include <commdlg.h>
#include <shellapi.h>

#include "resources/resource_ids.h"
#include "schedule/entry_line.h"

namespace kv {
namespace {

constexpr const char* kBrowseTitle = "Browse";
constexpr char kBrowseFilter[] = "All Files (*.*)\0*.*\0";

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
  const std::string program(programPart(commandLine));
  char executable[MAX_PATH] = "";
  const auto found = reinterpret_cast<INT_PTR>(FindExecutableA(
      program.c_str(), directory.empty() ? nullptr : directory.c_str(), executable));
  if (found <= 32) return nullptr;
  HICON icon = ExtractIconA(instance, executable, 0);
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
  char file[kMaxText + 1] = "";
  char fileTitle[256] = "";
  OPENFILENAMEA request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = dialog;
  request.lpstrFilter = kBrowseFilter;
  request.nFilterIndex = 1;
  request.lpstrFile = file;
  request.nMaxFile = sizeof file;
  request.lpstrFileTitle = fileTitle;
  request.nMaxFileTitle = sizeof fileTitle;
  request.lpstrTitle = kBrowseTitle;
  if (!GetOpenFileNameA(&request)) return {};
  return file;
}

}  // namespace kv
