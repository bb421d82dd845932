// The Add/Edit dialog: a plain switch that copies the controls into an
// EntryForm and back; the rules live in editor/entry_form.
#include "editor/entry_dialog_win32.h"

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <array>
#include <optional>
#include <string>

#include "editor/entry_filing.h"
#include "editor/entry_form.h"
#include "engine/calendar.h"
#include "locale/regional_settings_win32.h"
#include "resources/resource_ids.h"

namespace kv {
namespace {

constexpr const char* kOutOfMemoryText =
    "There is not enough memory to file the entry. The schedule is as it was.";
constexpr const char* kOutOfMemoryCaption = "Add/Edit Time";
constexpr const char* kBrowseTitle = "Browse";
constexpr char kBrowseFilter[] = "All Files (*.*)\0*.*\0";
constexpr int kStartEndTextRoom = 80;

// The controls that belong to the end time; the end ":" is not one of them.
constexpr std::array<int, 13> kEndingGroup = {
    IDC_END_MONTH,         IDC_END_DAY,  IDC_END_DAY_ARROWS,  IDC_END_YEAR,
    IDC_END_YEAR_ARROWS,   IDC_END_HOUR, IDC_END_HOUR_ARROWS, IDC_END_MINUTE,
    IDC_END_MINUTE_ARROWS, IDC_END_AM,   IDC_END_PM,          IDC_END_AT_LABEL,
    IDC_ENDING_LABEL};
constexpr std::array<int, 3> kLimitedTexts = {IDC_DESCRIPTION, IDC_COMMAND_LINE, IDC_WORKING_DIR};

struct DateTimeIds {
  int month, day, year, hour, minute, am, pm;
};
constexpr DateTimeIds kStartIds{IDC_START_MONTH,  IDC_START_DAY, IDC_START_YEAR, IDC_START_HOUR,
                                IDC_START_MINUTE, IDC_START_AM,  IDC_START_PM};
constexpr DateTimeIds kEndIds{IDC_END_MONTH,  IDC_END_DAY, IDC_END_YEAR, IDC_END_HOUR,
                              IDC_END_MINUTE, IDC_END_AM,  IDC_END_PM};

struct DialogState {
  const EntryEditorContext& context;
  EditorMode mode;
  std::string droppedPath;
  // Edit: the entry's rows while it is out of the store.
  std::optional<SavedRowPair> underEdit;
  // Stands in for the remembered program directory when the caller keeps none.
  std::string ownProgramDir;
};

// --- Scoped handles ----------------------------------------------------------

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

// --- Controls <-> form -------------------------------------------------------

DialogState& stateOf(HWND dialog) {
  return *reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

std::string controlText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  const int length = GetWindowTextLengthA(control);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int read = GetWindowTextA(control, text.data(), length + 1);
  text.resize(read > 0 ? static_cast<std::size_t>(read) : 0);
  return text;
}

void setText(HWND dialog, int id, const std::string& text) {
  SetDlgItemTextA(dialog, id, text.c_str());
}

int selection(HWND dialog, int id) {
  const LRESULT index = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? 0 : static_cast<int>(index);
}

void select(HWND dialog, int id, int index) {
  SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool checked(HWND dialog, int id) {
  return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void check(HWND dialog, int id, bool on) {
  CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

DateTimeFields readDateTime(HWND dialog, const DateTimeIds& ids) {
  DateTimeFields fields;
  fields.monthIndex = selection(dialog, ids.month);
  fields.day = controlText(dialog, ids.day);
  fields.year = controlText(dialog, ids.year);
  fields.hour = controlText(dialog, ids.hour);
  fields.minute = controlText(dialog, ids.minute);
  fields.pm = checked(dialog, ids.pm);
  return fields;
}

void writeDateTime(HWND dialog, const DateTimeIds& ids, const DateTimeFields& fields) {
  select(dialog, ids.month, fields.monthIndex);
  setText(dialog, ids.day, fields.day);
  setText(dialog, ids.year, fields.year);
  setText(dialog, ids.hour, fields.hour);
  setText(dialog, ids.minute, fields.minute);
  // Radio buttons set by a program do not clear each other.
  check(dialog, ids.pm, false);
  check(dialog, ids.am, !fields.pm);
  check(dialog, ids.pm, fields.pm);
}

EntryForm readForm(HWND dialog) {
  EntryForm form;
  form.start = readDateTime(dialog, kStartIds);
  form.end = readDateTime(dialog, kEndIds);
  form.frequencyIndex = selection(dialog, IDC_FREQUENCY);
  form.runModeIndex = selection(dialog, IDC_RUN_MODE);
  form.background = checked(dialog, IDC_BACKGROUND);
  form.printFile = checked(dialog, IDC_PRINT_FILE);
  form.description = controlText(dialog, IDC_DESCRIPTION);
  form.commandLine = controlText(dialog, IDC_COMMAND_LINE);
  form.workingDirectory = controlText(dialog, IDC_WORKING_DIR);
  return form;
}

void writeForm(HWND dialog, const EntryForm& form) {
  writeDateTime(dialog, kStartIds, form.start);
  writeDateTime(dialog, kEndIds, form.end);
  select(dialog, IDC_FREQUENCY, form.frequencyIndex);
  select(dialog, IDC_RUN_MODE, form.runModeIndex);
  check(dialog, IDC_BACKGROUND, form.background);
  check(dialog, IDC_PRINT_FILE, form.printFile);
  setText(dialog, IDC_DESCRIPTION, form.description);
  setText(dialog, IDC_COMMAND_LINE, form.commandLine);
  setText(dialog, IDC_WORKING_DIR, form.workingDirectory);
}

void enable(HWND dialog, int id, bool on) {
  EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE);
}

void applyEnabling(HWND dialog, const EntryForm& form) {
  const FormEnabling enabling = enablingOf(form);
  for (int id : kEndingGroup) enable(dialog, id, enabling.endingGroup);
  enable(dialog, IDC_START_DAY, enabling.startDay);
  enable(dialog, IDC_START_DAY_ARROWS, enabling.startDay);
  enable(dialog, IDC_BACKGROUND, enabling.background);
  enable(dialog, IDOK, enabling.ok);
}

void fillLists(HWND dialog, const std::string& languageCode) {
  for (const char* name : kFrequencyNames) {
    SendDlgItemMessageA(dialog, IDC_FREQUENCY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  }
  for (const char* name : kRunModeNames) {
    SendDlgItemMessageA(dialog, IDC_RUN_MODE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  }
  fillMonthComboBox(dialog, IDC_START_MONTH, languageCode);
  fillMonthComboBox(dialog, IDC_END_MONTH, languageCode);
}

// --- The platform's answers to OK's checks -----------------------------------

class DialogPlatform : public EditorPlatform {
 public:
  explicit DialogPlatform(HWND dialog) : dialog_(dialog) {}

  bool fileExists(const std::string& path) override {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    constexpr DWORD kFileAttributes =
        FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY;
    return (found.dwFileAttributes & kFileAttributes) != 0;
  }

  bool directoryExists(const std::string& path) override {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }

  bool lacksAssociation(const std::string& program, const std::string& directory) override {
    char executable[MAX_PATH] = "";
    const auto answer = reinterpret_cast<INT_PTR>(FindExecutableA(
        program.c_str(), directory.empty() ? nullptr : directory.c_str(), executable));
    return answer == SE_ERR_NOASSOC;
  }

  bool confirm(const std::string& text, const char* caption) override {
    return MessageBoxA(dialog_, text.c_str(), caption, MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK;
  }

 private:
  HWND dialog_;
};

std::string loadString(HINSTANCE instance, UINT id) {
  char text[kStartEndTextRoom] = "";
  LoadStringA(instance, id, text, sizeof text);
  return text;
}

void showRefusal(HWND dialog, HINSTANCE instance, Refusal refusal) {
  if (refusal == Refusal::StartNotBeforeEnd) {
    MessageBoxA(nullptr, loadString(instance, IDS_START_AFTER_END).c_str(),
                loadString(instance, IDS_START_AFTER_END_CAPTION).c_str(),
                MB_TASKMODAL | MB_ICONEXCLAMATION);
    return;
  }
  MessageBoxA(dialog, refusalText(refusal), refusalCaption(refusal), MB_OK | MB_ICONEXCLAMATION);
}

// --- Icon preview and Browse -------------------------------------------------

std::string limitedText(HWND dialog, int id) {
  char text[kMaxText + 1] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

// The first icon of what the command line starts: the program, or the
// application of a document. Null when there is none.
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

void drawPreview(HWND dialog, HINSTANCE instance) {
  const Icon icon(previewIcon(instance, limitedText(dialog, IDC_COMMAND_LINE),
                              limitedText(dialog, IDC_WORKING_DIR)));
  RECT area;
  GetWindowRect(GetDlgItem(dialog, IDC_ICON_PREVIEW), &area);
  POINT topLeft{area.left, area.top};
  POINT bottomRight{area.right, area.bottom};
  ScreenToClient(dialog, &topLeft);
  ScreenToClient(dialog, &bottomRight);
  area = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};

  const WindowDc dc(dialog);
  const SolidBrush background(GetSysColor(COLOR_WINDOW));
  if (!dc.get()) return;
  HGDIOBJ previous = SelectObject(dc.get(), background.get());
  FillRect(dc.get(), &area, background.get());
  SelectObject(dc.get(), previous);
  if (icon.get()) DrawIcon(dc.get(), area.left, area.top, icon.get());
  ValidateRect(dialog, &area);
}

// The full path the user chose, or "" when nothing was chosen (cancelled,
// or a path longer than a command line holds).
std::string askProgramPath(HWND dialog) {
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

// --- Messages ----------------------------------------------------------------

std::string& programDirOf(DialogState& state) {
  return state.context.programDir ? *state.context.programDir : state.ownProgramDir;
}

void closeAfterFailure(HWND dialog, DialogState& state) {
  if (state.underEdit) {
    putBack(*state.context.store, *state.underEdit);
    state.underEdit.reset();
  }
  MessageBoxA(dialog, kOutOfMemoryText, kOutOfMemoryCaption, MB_OK | MB_ICONEXCLAMATION);
  EndDialog(dialog, IDCANCEL);
}

void onInitDialog(HWND dialog, DialogState& state) {
  const EntryEditorContext& context = state.context;
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&state));
  for (int id : kLimitedTexts) {
    SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, kMaxText, 0);
  }
  fillLists(dialog, context.languageCode);
  EntryForm form;
  if (state.mode == EditorMode::Edit) {
    state.underEdit = takeOutSelected(*context.store);
    if (!state.underEdit) {
      EndDialog(dialog, IDCANCEL);
      return;
    }
    form = formForEdit(parseEntryLine(state.underEdit->line));
  } else {
    form = formForAdd(toLocalTime(currentTime()), state.droppedPath);
  }
  applyBackgroundRule(form);
  writeForm(dialog, form);
  applyEnabling(dialog, form);
}

void onOk(HWND dialog, DialogState& state) {
  const EntryEditorContext& context = state.context;
  EntryForm form = readForm(dialog);
  DialogPlatform platform(dialog);
  std::string& programDir = programDirOf(state);
  const OkDecision decision =
      decideOk(form, state.mode, platform, programDir, context.associationWarning);
  if (decision.endFixed) writeDateTime(dialog, kEndIds, form.end);
  if (decision.kind == OkDecision::Kind::Refuse)
    showRefusal(dialog, context.instance, decision.refusal);
  if (decision.kind != OkDecision::Kind::File) return;
  const SavedRowPair* underEdit = state.underEdit ? &*state.underEdit : nullptr;
  if (!fileAcceptedEntry(*context.store, decision.entry, underEdit)) {
    state.underEdit.reset();  // put back already
    closeAfterFailure(dialog, state);
    return;
  }
  state.underEdit.reset();
  if (decision.takesProgramDir) programDir.clear();
  EndDialog(dialog, IDOK);
}

void onCancel(HWND dialog, DialogState& state) {
  if (state.underEdit) {
    const bool back = putBack(*state.context.store, *state.underEdit);
    state.underEdit.reset();
    if (!back) {
      MessageBoxA(dialog, kOutOfMemoryText, kOutOfMemoryCaption, MB_OK | MB_ICONEXCLAMATION);
    }
  }
  EndDialog(dialog, IDCANCEL);
}

void onBrowse(HWND dialog, DialogState& state) {
  const std::string path = askProgramPath(dialog);
  if (path.empty()) return;
  fillDefaultDirectory(path, programDirOf(state));
  setText(dialog, IDC_COMMAND_LINE, path);
  if (state.mode == EditorMode::Add) PostMessageA(dialog, WM_COMMAND, IDM_DRAW_ICON, 0);
}

// Run-Mode and Frequency: Background, the Ending group and the start day.
void onListChanged(HWND dialog) {
  EntryForm form = readForm(dialog);
  applyBackgroundRule(form);
  check(dialog, IDC_BACKGROUND, form.background);
  applyEnabling(dialog, form);
}

void onCommandLineChanged(HWND dialog) {
  enable(dialog, IDOK, GetWindowTextLengthA(GetDlgItem(dialog, IDC_COMMAND_LINE)) > 0);
}

void onCommand(HWND dialog, DialogState& state, int id, int code) {
  switch (id) {
    case IDOK:
      onOk(dialog, state);
      break;
    case IDCANCEL:
      onCancel(dialog, state);
      break;
    case IDC_HELP_BUTTON:
      if (state.context.showHelp) state.context.showHelp(dialog);
      break;
    case IDC_RUN_MODE:
    case IDC_FREQUENCY:
      onListChanged(dialog);
      break;
    case IDC_COMMAND_LINE:
      if (code == EN_CHANGE) onCommandLineChanged(dialog);
      break;
    case IDC_BROWSE:
      onBrowse(dialog, state);
      break;
    case IDM_DRAW_ICON:
      drawPreview(dialog, state.context.instance);
      break;
    default:
      break;
  }
}

std::optional<ArrowField> arrowField(int arrowsId) {
  switch (arrowsId) {
    case IDC_START_DAY_ARROWS:
      return ArrowField::StartDay;
    case IDC_START_YEAR_ARROWS:
      return ArrowField::StartYear;
    case IDC_START_HOUR_ARROWS:
      return ArrowField::StartHour;
    case IDC_START_MINUTE_ARROWS:
      return ArrowField::StartMinute;
    case IDC_END_DAY_ARROWS:
      return ArrowField::EndDay;
    case IDC_END_YEAR_ARROWS:
      return ArrowField::EndYear;
    case IDC_END_HOUR_ARROWS:
      return ArrowField::EndHour;
    case IDC_END_MINUTE_ARROWS:
      return ArrowField::EndMinute;
    default:
      return std::nullopt;
  }
}

// An arrow pair steps the edit whose id is one less than its own.
void onArrow(HWND dialog, HWND arrows, int code) {
  if (code != SB_LINEUP && code != SB_LINEDOWN) return;
  const int arrowsId = GetDlgCtrlID(arrows);
  const std::optional<ArrowField> field = arrowField(arrowsId);
  if (!field) return;
  EntryForm form = readForm(dialog);
  const bool beep = stepField(form, *field, code == SB_LINEUP ? 1 : -1);
  const int editId = arrowsId - 1;
  const bool start = *field == ArrowField::StartDay || *field == ArrowField::StartYear ||
                     *field == ArrowField::StartHour || *field == ArrowField::StartMinute;
  const DateTimeFields& side = start ? form.start : form.end;
  const DateTimeIds& ids = start ? kStartIds : kEndIds;
  const std::string& text = editId == ids.day    ? side.day
                            : editId == ids.year ? side.year
                            : editId == ids.hour ? side.hour
                                                 : side.minute;
  setText(dialog, editId, text);
  if (beep) MessageBeep(0);
}

INT_PTR handleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      onInitDialog(dialog, *reinterpret_cast<DialogState*>(lParam));
      return TRUE;
    case WM_COMMAND:
      onCommand(dialog, stateOf(dialog), LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_VSCROLL:
      onArrow(dialog, reinterpret_cast<HWND>(lParam), LOWORD(wParam));
      return TRUE;
    case WM_PAINT:
      // The dialog manager paints first; the preview is drawn over it.
      PostMessageA(dialog, WM_COMMAND, IDM_DRAW_ICON, 0);
      return FALSE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK entryDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  // Messages before WM_INITDIALOG find no state.
  if (message != WM_INITDIALOG && GetWindowLongPtrA(dialog, DWLP_USER) == 0) return FALSE;
  try {
    return handleMessage(dialog, message, wParam, lParam);
  } catch (...) {
    DialogState* state = reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (state) {
      closeAfterFailure(dialog, *state);
    } else {
      EndDialog(dialog, IDCANCEL);
    }
    return TRUE;
  }
}

INT_PTR runEntryDialog(const EntryEditorContext& context, EditorMode mode,
                       const std::string& droppedPath) {
  if (!context.store) return IDCANCEL;
  DialogState state{context, mode, droppedPath, std::nullopt, {}};
  return DialogBoxParamA(context.instance, IDD_ENTRY, context.owner, entryDialogProcedure,
                         reinterpret_cast<LPARAM>(&state));
}

}  // namespace

INT_PTR runAddDialog(const EntryEditorContext& context, const std::string& droppedPath) {
  return runEntryDialog(context, EditorMode::Add, droppedPath);
}

INT_PTR runEditDialog(const EntryEditorContext& context) {
  if (!context.store || !context.store->selectedRow()) return IDCANCEL;
  return runEntryDialog(context, EditorMode::Edit, "");
}

}  // namespace kv
