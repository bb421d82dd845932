// The Add/Edit dialog: a plain switch that copies the controls into an
// EntryForm and back; the rules live in editor/entry_form.
#include "editor/entry_dialog_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <array>
#include <optional>
#include <string>

#include "editor/dialog_procedure_win32.h"
#include "editor/entry_edit.h"
#include "editor/program_preview_win32.h"
#include "engine/calendar.h"
#include "engine/program_lookup_win32.h"
#include "locale/regional_settings_win32.h"
#include "resources/resource_ids.h"
#include "schedule/code_pages_win32.h"
#include "schedule/message_boxes_win32.h"

namespace kv {
namespace {

constexpr const char* kDialogCaption = "Add/Edit Time";
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
  HINSTANCE instance;
  const EntryDialogValues& values;
  EntryDialogResult result;
};

// --- Controls <-> form -------------------------------------------------------

DialogState& stateOf(HWND dialog) {
  return *reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

std::string controlText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  const int length = GetWindowTextLengthW(control);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int read = GetWindowTextW(control, text.data(), length + 1);
  text.resize(read > 0 ? static_cast<std::size_t>(read) : 0);
  // An edit's limit counts UTF-16 units: a paste it cut there may end in
  // the first half of a pair, which is no character at all.
  if (!text.empty() && IS_HIGH_SURROGATE(text.back())) text.pop_back();
  return toUtf8(text);
}

void setText(HWND dialog, int id, const std::string& text) {
  SetDlgItemTextW(dialog, id, toWide(text).c_str());
}

int selection(HWND dialog, int id) {
  const LRESULT index = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? 0 : static_cast<int>(index);
}

void select(HWND dialog, int id, int index) {
  SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
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

void addString(HWND dialog, int id, const std::string& text) {
  const std::wstring wide = toWide(text);
  SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void fillLists(HWND dialog, const std::string& languageCode) {
  for (const char* name : kFrequencyNames) addString(dialog, IDC_FREQUENCY, name);
  for (const char* name : kRunModeNames) addString(dialog, IDC_RUN_MODE, name);
  fillMonthComboBox(dialog, IDC_START_MONTH, languageCode);
  fillMonthComboBox(dialog, IDC_END_MONTH, languageCode);
}

// --- The platform's answers to OK's checks -----------------------------------

class DialogPlatform : public EditorPlatform {
 public:
  explicit DialogPlatform(HWND dialog) : boxes_(dialog) {}

  bool fileExists(const std::string& path) override { return programFileExists(path); }
  bool onSearchPath(const std::string& name) override { return programOnSearchPath(name); }

  bool directoryExists(const std::string& path) override {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesW(toWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }

  bool lacksAssociation(const std::string& program, const std::string& directory) override {
    return findExecutable(program, directory).result == SE_ERR_NOASSOC;
  }

  bool confirm(const std::string& text, const char* caption) override {
    return boxes_.show({text, caption, BoxButtons::OkCancel, BoxIcon::Exclamation}) ==
           BoxAnswer::Ok;
  }

 private:
  WindowsMessageBoxes boxes_;
};

std::string loadString(HINSTANCE instance, UINT id) {
  wchar_t text[kStartEndTextRoom] = L"";
  LoadStringW(instance, id, text, kStartEndTextRoom);
  return toUtf8(text);
}

void showRefusal(HWND dialog, HINSTANCE instance, Refusal refusal) {
  WindowsMessageBoxes boxes(dialog);
  if (refusal == Refusal::StartNotBeforeEnd) {
    boxes.show({loadString(instance, IDS_START_AFTER_END),
                loadString(instance, IDS_START_AFTER_END_CAPTION), BoxButtons::Ok,
                BoxIcon::Exclamation, BoxModality::TaskUnowned});
    return;
  }
  boxes.show({refusalText(refusal), refusalCaption(refusal), BoxButtons::Ok, BoxIcon::Exclamation});
}

void showOutOfMemory(HWND dialog) {
  WindowsMessageBoxes(dialog).show(
      {kNotFiledText, kDialogCaption, BoxButtons::Ok, BoxIcon::Exclamation});
}

// --- Messages ----------------------------------------------------------------

void onInitDialog(HWND dialog, DialogState& state) {
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&state));
  // A wide edit counts UTF-16 code units, as kMaxText does.
  for (int id : kLimitedTexts) SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, kMaxText, 0);
  fillLists(dialog, state.values.languageCode);
  EntryForm form = state.values.form;
  applyBackgroundRule(form);
  writeForm(dialog, form);
  applyEnabling(dialog, form);
}

void onOk(HWND dialog, DialogState& state) {
  EntryForm form = readForm(dialog);
  DialogPlatform platform(dialog);
  const OkDecision decision =
      decideOk(form, state.values.mode, platform, state.result.programDirectory,
               state.values.associationWarning, currentTime());
  if (decision.endFixed) writeDateTime(dialog, kEndIds, form.end);
  if (decision.kind == OkDecision::Kind::Refuse)
    showRefusal(dialog, state.instance, decision.refusal);
  if (decision.kind != OkDecision::Kind::File) return;
  state.result.entry = decision.entry;
  state.result.takesProgramDir = decision.takesProgramDir;
  EndDialog(dialog, IDOK);
}

void onBrowse(HWND dialog, DialogState& state) {
  const std::string path = browseForProgram(dialog);
  if (path.empty()) return;
  fillDefaultDirectory(path, state.result.programDirectory);
  setText(dialog, IDC_COMMAND_LINE, path);
  if (state.values.mode == EditorMode::Add) PostMessageW(dialog, WM_COMMAND, IDM_DRAW_ICON, 0);
}

// Run-Mode and Frequency: Background, the Ending group and the start day.
void onListChanged(HWND dialog) {
  EntryForm form = readForm(dialog);
  applyBackgroundRule(form);
  check(dialog, IDC_BACKGROUND, form.background);
  applyEnabling(dialog, form);
}

void onCommandLineChanged(HWND dialog) {
  enable(dialog, IDOK, GetWindowTextLengthW(GetDlgItem(dialog, IDC_COMMAND_LINE)) > 0);
}

void onCommand(HWND dialog, DialogState& state, int id, int code) {
  switch (id) {
    case IDOK:
      onOk(dialog, state);
      break;
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      break;
    case IDC_HELP_BUTTON:
      if (state.values.showHelp) state.values.showHelp(dialog);
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
      drawProgramIcon(dialog, state.instance, controlText(dialog, IDC_COMMAND_LINE),
                      controlText(dialog, IDC_WORKING_DIR));
      break;
    default:
      break;
  }
}

void onArrow(HWND dialog, HWND arrows, int code) {
  if (code != SB_LINEUP && code != SB_LINEDOWN) return;
  const ArrowPair* pair = arrowPairOf(GetDlgCtrlID(arrows));
  if (!pair) return;
  EntryForm form = readForm(dialog);
  const bool beep = stepField(form, pair->field, code == SB_LINEUP ? 1 : -1);
  setText(dialog, pair->editId, form.*pair->side.*pair->text);
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
      PostMessageW(dialog, WM_COMMAND, IDM_DRAW_ICON, 0);
      return FALSE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK entryDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  // Running out of memory anywhere in the dialog closes it as Cancel does:
  // whoever opened it then leaves the schedule as it was.
  return guardedDialogMessage(
      dialog, message, [&] { return handleMessage(dialog, message, wParam, lParam); },
      [dialog] { showOutOfMemory(dialog); });
}

}  // namespace

EntryDialogResult askEntry(HINSTANCE instance, HWND owner, const EntryDialogValues& values) {
  DialogState state{instance, values, {}};
  state.result.programDirectory = values.programDirectory;
  const INT_PTR pressed = DialogBoxParamW(instance, L"" IDD_ENTRY, owner, entryDialogProcedure,
                                          reinterpret_cast<LPARAM>(&state));
  state.result.shown = pressed != -1;
  if (pressed != IDOK) {
    state.result.entry.reset();
    state.result.takesProgramDir = false;
  }
  return state.result;
}

}  // namespace kv
