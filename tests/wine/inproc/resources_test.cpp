// The program's resources as Windows loads them from the module: the menu,
// the accelerator table, the string table, the dialog templates and the icon.
// Expected values are the program's documented ids and texts, written out
// here rather than taken from resource_ids.h, so a wrong id in the header
// shows up as well as a wrong line in kv.rc.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

// Not used below: included after <windows.h> so that a name of the header
// that clashes with the system headers breaks this build.
#include "resources/resource_ids.h"

namespace {

HINSTANCE thisModule() {
  return GetModuleHandleA(nullptr);
}

std::string hex(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(value));
  return text;
}

// ---------------------------------------------------------------- menu

struct ExpectedMenuItem {
  const char* text;  // nullptr for a separator
  UINT id;
  bool checked;
};

struct ExpectedPopup {
  const char* title;
  std::vector<ExpectedMenuItem> items;
};

const ExpectedMenuItem kSeparator{nullptr, 0, false};

const ExpectedPopup kMenu[] = {
    {"&File",
     {{"&New", 2000, false},
      {"&Open...", 2001, false},
      {"&Save", 2002, false},
      {"Save &As...", 2003, false},
      {"E&xit", 2005, false}}},
    {"&Edit", {{"Cu&t", 2021, false}, {"&Copy", 2022, false}, {"&Paste", 2023, false}}},
    {"&View", {{"&Rows", 2027, false}, {"&Details", 2028, false}}},
    {"&Configure",
     {{"&Add...\tIns", 2010, false},
      {"&Edit...\tEnter", 2011, false},
      {"&Delete...\tDel", 2012, false},
      {"&Test Entry \tCntrl-T", 2016, false},
      {"Hi&story...", 2020, false},
      {"&Settings...", 2013, false},
      {"&Association Warning", 2014, true},
      {"&Hide Icon", 2015, true},
      {"&Run Missed Starts", 2017, false},
      {"S&kip Starts While Running", 2024, false},
      {"&Notify on Failure", 2025, true},
      {"&Wake the Computer to Run", 2026, false},
      {"Start at &Logon", 2018, false}}},
    {"&Help",
     {{"&Contents", 3000, false},
      {"&Search for Help on...", 3001, false},
      {"&How to Use Help", 3002, false},
      kSeparator,
      {"&About...", 2004, false}}},
};

std::string menuText(HMENU menu, int position) {
  char text[128] = {};
  int length = GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
  return std::string(text, static_cast<size_t>(std::max(length, 0)));
}

void expectMenuItem(HMENU popup, int position, const ExpectedMenuItem& expected) {
  UINT state = GetMenuState(popup, static_cast<UINT>(position), MF_BYPOSITION);
  if (expected.text == nullptr) {
    EXPECT_NE(state & MF_SEPARATOR, 0u) << "position " << position << " is not a separator";
    return;
  }
  SCOPED_TRACE(expected.text);
  EXPECT_EQ(menuText(popup, position), expected.text);
  EXPECT_EQ(GetMenuItemID(popup, position), expected.id);
  EXPECT_EQ(state & (MF_SEPARATOR | MF_POPUP), 0u);
  EXPECT_EQ((state & MF_CHECKED) != 0, expected.checked);
  EXPECT_EQ(state & (MF_GRAYED | MF_DISABLED), 0u) << "items start enabled";
}

TEST(MenuResource, HoldsEveryPopupAndItemInOrder) {
  HMENU menu = LoadMenuA(thisModule(), "KV");
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(std::size(kMenu)));
  for (int p = 0; p < static_cast<int>(std::size(kMenu)); ++p) {
    const ExpectedPopup& expected = kMenu[p];
    SCOPED_TRACE(expected.title);
    EXPECT_EQ(menuText(menu, p), expected.title);
    HMENU popup = GetSubMenu(menu, p);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(expected.items.size()));
    for (int i = 0; i < static_cast<int>(expected.items.size()); ++i) {
      expectMenuItem(popup, i, expected.items[static_cast<size_t>(i)]);
    }
  }
  DestroyMenu(menu);
}

// --------------------------------------------------------- accelerators

struct ExpectedKey {
  BYTE flags;
  WORD key;
  WORD command;
};

bool byCommand(const ExpectedKey& a, const ExpectedKey& b) {
  return a.command < b.command;
}

const ExpectedKey kAccelerators[] = {
    {FNOINVERT, 20, 2016},  // Ctrl+T, as the character it types
    {FVIRTKEY | FNOINVERT, VK_DELETE, 2012},
    {FVIRTKEY | FNOINVERT, VK_INSERT, 2010},
    {FVIRTKEY | FNOINVERT, VK_RETURN, 2011},
    {FVIRTKEY | FSHIFT | FNOINVERT, VK_DELETE, 2021},
    {FVIRTKEY | FCONTROL | FNOINVERT, VK_INSERT, 2022},
    {FVIRTKEY | FSHIFT | FNOINVERT, VK_INSERT, 2023},
    {FVIRTKEY | FCONTROL | FNOINVERT, 'N', 2000},
    {FVIRTKEY | FCONTROL | FNOINVERT, 'O', 2001},
    {FVIRTKEY | FCONTROL | FNOINVERT, 'S', 2002},
    {FVIRTKEY | FCONTROL | FNOINVERT, 'X', 2021},
    {FVIRTKEY | FCONTROL | FNOINVERT, 'C', 2022},
    {FVIRTKEY | FCONTROL | FNOINVERT, 'V', 2023},
    {FVIRTKEY | FNOINVERT, VK_F1, 3000},
};

TEST(AcceleratorResource, LoadsByTheProgramsNameWithItsKeys) {
  HACCEL table = LoadAcceleratorsA(thisModule(), "KvAcc");
  ASSERT_NE(table, nullptr);
  int count = CopyAcceleratorTableA(table, nullptr, 0);
  ASSERT_EQ(count, static_cast<int>(std::size(kAccelerators)));

  std::vector<ACCEL> copied(static_cast<size_t>(count));
  ASSERT_EQ(CopyAcceleratorTableA(table, copied.data(), count), count);
  std::vector<ExpectedKey> got;
  for (const ACCEL& a : copied) {
    // The high bit marks the table's last entry in the resource.
    got.push_back({static_cast<BYTE>(a.fVirt & 0x7f), a.key, a.cmd});
  }
  std::vector<ExpectedKey> expected(std::begin(kAccelerators), std::end(kAccelerators));
  std::sort(got.begin(), got.end(), byCommand);
  std::sort(expected.begin(), expected.end(), byCommand);
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("command " + std::to_string(expected[i].command));
    EXPECT_EQ(got[i].command, expected[i].command);
    EXPECT_EQ(got[i].key, expected[i].key);
    EXPECT_EQ(got[i].flags, expected[i].flags);
  }
  DestroyAcceleratorTable(table);
}

// A window that records the commands an accelerator gives it.
struct CommandRecorder {
  static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_COMMAND) {
      auto* commands =
          reinterpret_cast<std::vector<WPARAM>*>(GetWindowLongPtrA(window, GWLP_USERDATA));
      if (commands != nullptr) commands->push_back(wp);
      return 0;
    }
    return DefWindowProcA(window, message, wp, lp);
  }
};

HWND createRecorder(std::vector<WPARAM>* commands) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = CommandRecorder::proc;
  windowClass.hInstance = thisModule();
  windowClass.lpszClassName = "KvAccelRecorder";
  RegisterClassA(&windowClass);  // a second registration fails harmlessly
  HWND window = CreateWindowExA(0, "KvAccelRecorder", "", WS_POPUP, 0, 0, 100, 100, nullptr,
                                nullptr, thisModule(), nullptr);
  if (window != nullptr) {
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(commands));
  }
  return window;
}

// Presses or releases the shift keys in this thread's keyboard state, which
// the accelerator translation reads.
void setModifiers(bool shift, bool control) {
  BYTE keys[256] = {};
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  keys[VK_CONTROL] = control ? 0x80 : 0;
  SetKeyboardState(keys);
}

struct KeyCase {
  const char* name;
  UINT message;
  WPARAM key;
  bool shift;
  bool control;
  int command;  // -1: no command
};

TEST(AcceleratorResource, TranslatesEachKeyWithItsShiftStateOnly) {
  const KeyCase cases[] = {
      {"Ctrl+T", WM_CHAR, 20, false, true, 2016},
      {"Del", WM_KEYDOWN, VK_DELETE, false, false, 2012},
      {"Ins", WM_KEYDOWN, VK_INSERT, false, false, 2010},
      {"Enter", WM_KEYDOWN, VK_RETURN, false, false, 2011},
      {"Shift+Del", WM_KEYDOWN, VK_DELETE, true, false, 2021},
      {"Ctrl+Ins", WM_KEYDOWN, VK_INSERT, false, true, 2022},
      {"Shift+Ins", WM_KEYDOWN, VK_INSERT, true, false, 2023},
      {"Ctrl+Del", WM_KEYDOWN, VK_DELETE, false, true, -1},
      {"Ctrl+Enter", WM_KEYDOWN, VK_RETURN, false, true, -1},
      {"T", WM_CHAR, 'T', false, false, -1},
      {"Ctrl+S", WM_KEYDOWN, 'S', false, true, 2002},
      {"Ctrl+V", WM_KEYDOWN, 'V', false, true, 2023},
      {"F1", WM_KEYDOWN, VK_F1, false, false, 3000},
      {"V", WM_KEYDOWN, 'V', false, false, -1},
  };
  HACCEL table = LoadAcceleratorsA(thisModule(), "KvAcc");
  ASSERT_NE(table, nullptr);
  std::vector<WPARAM> commands;
  HWND window = createRecorder(&commands);
  ASSERT_NE(window, nullptr);
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.name);
    commands.clear();
    setModifiers(c.shift, c.control);
    MSG message = {};
    message.hwnd = window;
    message.message = c.message;
    message.wParam = c.key;
    message.lParam = 1;
    int translated = TranslateAcceleratorA(window, table, &message);
    if (c.command < 0) {
      EXPECT_EQ(translated, 0);
      EXPECT_TRUE(commands.empty());
    } else {
      EXPECT_NE(translated, 0);
      ASSERT_EQ(commands.size(), 1u);
      EXPECT_EQ(LOWORD(commands[0]), c.command);
      EXPECT_EQ(HIWORD(commands[0]), 1) << "an accelerator's command says so";
    }
  }
  setModifiers(false, false);
  DestroyWindow(window);
  DestroyAcceleratorTable(table);
}

// --------------------------------------------------------- string table

std::wstring loadWide(UINT id) {
  wchar_t text[256] = {};
  int length = LoadStringW(thisModule(), id, text, static_cast<int>(std::size(text)));
  return std::wstring(text, static_cast<size_t>(std::max(length, 0)));
}

std::string loadNarrow(UINT id) {
  char text[256] = {};
  int length = LoadStringA(thisModule(), id, text, static_cast<int>(sizeof text));
  return std::string(text, static_cast<size_t>(std::max(length, 0)));
}

// What LoadStringA hands the program for a text: the wide text in the
// process's ANSI code page.
std::string inAnsiCodePage(const std::wstring& text) {
  char bytes[256] = {};
  int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), bytes,
                                   static_cast<int>(sizeof bytes), nullptr, nullptr);
  return std::string(bytes, static_cast<size_t>(std::max(length, 0)));
}

TEST(StringResource, HoldsVersionProductNameAndStartEndMessage) {
  EXPECT_EQ(loadNarrow(20000), "3.0");
  EXPECT_EQ(loadNarrow(20001), "Kivro");
  EXPECT_EQ(loadNarrow(114), "Start time must be earlier than end time.");
}

struct MonthNames {
  UINT base;
  const char* language;
  const wchar_t* names[12];
};

// The names as the program ships them, odd spellings included.
const MonthNames kMonthNames[] = {
    {100,
     "English",
     {L"January", L"February", L"March", L"April", L"May", L"June", L"July", L"August",
      L"September", L"October", L"November", L"December"}},
    {200,
     "Spanish",
     {L"Enero", L"Febrero", L"Marzo", L"Abril", L"Mayo", L"Junio", L"Julio", L"Agosto",
      L"Septiembre", L"Octubre", L"Noviembre", L"Diciembre"}},
    {300,
     "German",
     {L"Januar", L"Februar", L"M\u00e4rz", L"April", L"Mai", L"Juni", L"Juli", L"August",
      L"September", L"Oktober", L"November", L"Dezember"}},
    {400,
     "French",
     {L"Janvier", L"F\u00e9vrier", L"Mars", L"Avril", L"Mai", L"Juin", L"Juillet", L"Ao\u00fbt",
      L"Septembre", L"Octobre", L"Novembre", L"D\u00e9cembre"}},
    {500,
     "Finnish",
     {L"Tammikuu", L"Helmikuu", L"Maaliskuu", L"Huhtikuu", L"Toukokuu", L"Kes\u00e4kuu",
      L"Hei\u00e4kuu", L"Elokuu", L"Syyskuu", L"Lokakuu", L"Marraskuu", L"Joulukuu"}},
    {600,
     "Dutch",
     {L"Januari", L"Februari", L"Maart", L"April", L"Mei", L"Juni", L"Juli", L"Augustus",
      L"September", L"Oktober", L"November", L"December"}},
    {700,
     "Danish",
     {L"Januar", L"Februar", L"Marts", L"April", L"Mai", L"Juni", L"Juli", L"August", L"September",
      L"Oktober", L"November", L"December"}},
    {800,
     "Swedish",
     {L"Januari", L"Februari", L"Mars", L"April", L"Maj", L"Juni", L"Juli", L"Augusti",
      L"September", L"Oktober", L"November", L"December"}},
    {900,
     "Slovak",
     {L"Jan\u00faar", L"Febru\u00e1r", L"Marec", L"April", L"Maj", L"J\u00fan", L"J\u00fal",
      L"August", L"September", L"Okt\u00f3ber", L"November", L"December"}},
    {1000,
     "Portuguese",
     {L"Janeiro", L"Fevereiro", L"Mar\u00e7o", L"Abril", L"Maio", L"Junho", L"Julho", L"Agosto",
      L"Setembro", L"Octobro", L"Novembro", L"Dezembro"}},
    {1100,
     "Norwegian",
     {L"Januar", L"Februar", L"Mars", L"April", L"Mai", L"Juni", L"Juli", L"August", L"September",
      L"Oktober", L"November", L"Desember"}},
    {1200,
     "Italian",
     {L"Gennaio", L"Febbraio", L"Marzo", L"Aprile", L"Maggio", L"Giugro", L"Luglio", L"Agosto",
      L"Settembre", L"Ottobre", L"Novembre", L"Dicembre"}},
    {1300,
     "Icelandic",
     {L"Jan\u00faar", L"Febr\u00faar", L"Mars", L"April", L"Mai", L"J\u00fani", L"J\u00fali",
      L"\u00c1g\u00fast", L"September", L"Okt\u00f3ber", L"N\u00f3vember", L"Desember"}},
    {1400,
     "Hungarian",
     {L"Janu\u00e1r", L"Febru\u00e1r", L"M\u00e1rclus", L"\u00c1prilis", L"M\u00e1jus",
      L"J\u00fanius", L"J\u00falius", L"Augusztus", L"Szeptember", L"Okt\u00f3ber", L"November",
      L"December"}},
};

TEST(StringResource, HoldsTwelveMonthNamesPerLanguage) {
  for (const MonthNames& language : kMonthNames) {
    SCOPED_TRACE(language.language);
    for (UINT month = 1; month <= 12; ++month) {
      UINT id = 10000 + language.base + month;
      SCOPED_TRACE("string " + std::to_string(id));
      const std::wstring expected = language.names[month - 1];
      const std::wstring loaded = loadWide(id);
      EXPECT_EQ(loaded, expected);
      // The program reads the names with LoadStringA: the letters beyond
      // ASCII must come out as the code page's own characters.
      EXPECT_EQ(loadNarrow(id), inAnsiCodePage(expected));
    }
    // Nothing on either side of a language's twelve: a month number off by
    // one would read a neighbour's name or an empty text.
    EXPECT_TRUE(loadWide(10000 + language.base).empty());
    EXPECT_TRUE(loadWide(10000 + language.base + 13).empty());
  }
}

// ------------------------------------------------------ dialog templates

struct ParsedControl {
  DWORD style = 0;
  DWORD exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  int id = 0;
  std::string className;
  std::string text;
};

struct ParsedDialog {
  DWORD style = 0;
  DWORD exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::string menu;
  std::string windowClass;
  std::string caption;
  std::vector<ParsedControl> controls;
};

// Reads the words of a DLGTEMPLATE resource; reading past its end marks the
// reader failed and yields zeros.
class TemplateReader {
 public:
  TemplateReader(const BYTE* data, size_t size) : data_(data), size_(size) {}

  bool failed() const { return failed_; }

  WORD word() {
    if (pos_ + 2 > size_) {
      failed_ = true;
      return 0;
    }
    WORD value = static_cast<WORD>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return value;
  }

  DWORD dword() {
    DWORD low = word();
    DWORD high = word();
    return low | (high << 16);
  }

  int coordinate() { return static_cast<int16_t>(word()); }

  // A text that may stand as an ordinal (0xFFFF and a number) instead.
  std::string textOrOrdinal(bool isClass) {
    WORD first = word();
    if (first == 0xFFFF) return isClass ? predefinedClass(word()) : "#" + std::to_string(word());
    std::string text;
    for (WORD c = first; c != 0 && !failed_; c = word()) {
      text += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return text;
  }

  void alignToDword() { pos_ = (pos_ + 3) & ~static_cast<size_t>(3); }

  void skip(size_t bytes) { pos_ += bytes; }

 private:
  static std::string predefinedClass(WORD atom) {
    switch (atom) {
      case 0x80:
        return "button";
      case 0x81:
        return "edit";
      case 0x82:
        return "static";
      case 0x83:
        return "listbox";
      case 0x84:
        return "scrollbar";
      case 0x85:
        return "combobox";
      default:
        return "#" + std::to_string(atom);
    }
  }

  const BYTE* data_;
  size_t size_;
  size_t pos_ = 0;
  bool failed_ = false;
};

std::string lowerCase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

ParsedControl parseControl(TemplateReader& reader) {
  reader.alignToDword();
  ParsedControl control;
  control.style = reader.dword();
  control.exStyle = reader.dword();
  control.x = reader.coordinate();
  control.y = reader.coordinate();
  control.cx = reader.coordinate();
  control.cy = reader.coordinate();
  control.id = reader.word();
  control.className = lowerCase(reader.textOrOrdinal(true));
  control.text = reader.textOrOrdinal(false);
  reader.skip(reader.word());  // creation data
  return control;
}

// Loads and parses a classic (not extended) dialog template; fails the test
// when the template is missing, extended or cut short.
::testing::AssertionResult loadDialog(const char* name, ParsedDialog* dialog) {
  HRSRC found = FindResourceA(thisModule(), name, MAKEINTRESOURCEA(5));  // RT_DIALOG
  if (found == nullptr) return ::testing::AssertionFailure() << "no dialog " << name;
  HGLOBAL loaded = LoadResource(thisModule(), found);
  const auto* data = static_cast<const BYTE*>(LockResource(loaded));
  if (data == nullptr) return ::testing::AssertionFailure() << "cannot load " << name;
  TemplateReader reader(data, SizeofResource(thisModule(), found));

  dialog->style = reader.dword();
  if ((dialog->style & 0xFFFF) == 1 && (dialog->style >> 16) == 0xFFFF) {
    return ::testing::AssertionFailure() << name << " is an extended template";
  }
  dialog->exStyle = reader.dword();
  WORD count = reader.word();
  dialog->x = reader.coordinate();
  dialog->y = reader.coordinate();
  dialog->cx = reader.coordinate();
  dialog->cy = reader.coordinate();
  dialog->menu = reader.textOrOrdinal(false);
  dialog->windowClass = reader.textOrOrdinal(false);
  dialog->caption = reader.textOrOrdinal(false);
  if (dialog->style & DS_SETFONT) {
    reader.word();                // point size
    reader.textOrOrdinal(false);  // face name
  }
  for (WORD i = 0; i < count; ++i) dialog->controls.push_back(parseControl(reader));
  if (reader.failed()) return ::testing::AssertionFailure() << name << " is cut short";
  return ::testing::AssertionSuccess();
}

struct ExpectedControl {
  int id;
  const char* className;
  const char* text;
  int x, y, cx, cy;
  DWORD style;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLabel = kChild | SS_LEFT;
constexpr DWORD kGroupLabel = kLabel | WS_GROUP;
constexpr DWORD kIconLabel = kChild | SS_ICON;
constexpr DWORD kDropList = kChild | CBS_DROPDOWNLIST | WS_TABSTOP;
constexpr DWORD kScrollingDropList = kDropList | WS_VSCROLL;
constexpr DWORD kNumberEdit = kChild | ES_LEFT | WS_BORDER | WS_TABSTOP;
constexpr DWORD kTextEdit = kNumberEdit | ES_AUTOHSCROLL | ES_OEMCONVERT;
constexpr DWORD kArrows = kChild | SBS_VERT;
constexpr DWORD kGroupArrows = kArrows | WS_GROUP;
constexpr DWORD kRadio = kChild | BS_AUTORADIOBUTTON | WS_TABSTOP;
constexpr DWORD kCheckBox = kChild | BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kButton = kChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kDefaultButton = kChild | BS_DEFPUSHBUTTON | WS_TABSTOP;

// In template order, which is also the tab order.
const ExpectedControl kEntryControls[] = {
    {100, "static", "&Starting", 4, 1, 51, 8, kLabel},
    {138, "combobox", "", 4, 11, 49, 94, kScrollingDropList},  // start month
    {208, "edit", "", 59, 11, 12, 12, kNumberEdit},            // start day
    {209, "scrollbar", "", 71, 11, 8, 12, kArrows},
    {214, "edit", "", 84, 11, 21, 12, kNumberEdit},  // start year
    {215, "scrollbar", "", 105, 11, 8, 12, kArrows},
    {106, "static", "at", 120, 13, 10, 8, kLabel},
    {211, "scrollbar", "", 136, 11, 8, 12, kArrows},
    {210, "edit", "", 144, 11, 12, 12, kNumberEdit},  // start hour
    {212, "edit", "", 161, 11, 13, 12, kNumberEdit},  // start minute
    {213, "scrollbar", "", 174, 11, 8, 12, kGroupArrows},
    {147, "button", "am", 185, 7, 22, 12, kRadio},
    {148, "button", "pm", 185, 17, 22, 12, kRadio},
    {139, "static", "&Ending", 2, 29, 51, 8, kGroupLabel},
    {300, "combobox", "", 4, 38, 49, 68, kScrollingDropList},  // end month
    {200, "edit", "", 60, 38, 12, 12, kNumberEdit},            // end day
    {201, "scrollbar", "", 72, 38, 8, 12, kArrows},
    {206, "edit", "", 84, 38, 21, 12, kNumberEdit},  // end year
    {207, "scrollbar", "", 105, 38, 8, 12, kArrows},
    {140, "static", "at", 119, 40, 10, 8, kLabel},
    {203, "scrollbar", "", 136, 38, 8, 12, kArrows},
    {202, "edit", "", 144, 38, 13, 12, kNumberEdit},  // end hour
    {204, "edit", "", 161, 38, 13, 12, kNumberEdit},  // end minute
    {205, "scrollbar", "", 174, 38, 8, 12, kGroupArrows},
    {158, "button", "am", 185, 34, 22, 12, kRadio},
    {159, "button", "pm", 185, 44, 22, 12, kRadio},
    {101, "static", "&Frequency", 210, 2, 50, 9, kLabel},
    {102, "combobox", "", 210, 12, 64, 88, kDropList},
    {99, "static", "&Description", 3, 61, 68, 10, kLabel},
    {89, "edit", "", 74, 60, 128, 12, kTextEdit},
    {97, "static", "&Command Line:", 3, 75, 67, 10, kLabel},
    {160, "edit", "", 74, 74, 128, 12, kTextEdit},
    {96, "static", "&Working Directory:", 3, 90, 66, 10, kLabel},
    {95, "edit", "", 74, 88, 128, 12, kTextEdit},
    {94, "static", "Run-Mode:", 3, 104, 67, 10, kLabel},
    {93, "combobox", "", 74, 102, 48, 40, kDropList},
    {113, "button", "Print File", 74, 116, 52, 12, kCheckBox},
    {104, "button", "Background", 134, 117, 55, 11, kCheckBox},
    {1, "button", "OK", 210, 60, 55, 14, kDefaultButton},
    {2, "button", "Cancel", 210, 75, 55, 14, kButton},
    {107, "button", "&Browse...", 210, 90, 55, 14, kButton},
    {91, "button", "&Help", 210, 106, 55, 14, kButton},
    {137, "static", ":", 158, 12, 2, 11, kLabel},
    {133, "static", ":", 158, 39, 2, 12, kGroupLabel},
    {90, "static", "Text", 21, 114, 21, 20, kIconLabel},
};

const ExpectedControl kSettingsControls[] = {
    {201, "edit", "", 54, 58, 25, 12, kNumberEdit},
    {101, "static",
     "Set the frequency that the computer will check for programs to run.  The number is in "
     "hundredths of a second.  A very small number may slow the performance of your computer.",
     6, 4, 124, 52, kChild | SS_CENTER},
    {1, "button", "OK", 19, 76, 42, 14, kButton},
    {2, "button", "Cancel", 74, 76, 42, 14, kDefaultButton},
};

void expectControls(const ParsedDialog& dialog, const ExpectedControl* controls, size_t count) {
  ASSERT_EQ(dialog.controls.size(), count);
  for (size_t i = 0; i < count; ++i) {
    const ExpectedControl& expected = controls[i];
    const ParsedControl& got = dialog.controls[i];
    SCOPED_TRACE("control " + std::to_string(expected.id) + " at place " + std::to_string(i));
    EXPECT_EQ(got.id, expected.id);
    EXPECT_EQ(got.className, expected.className);
    EXPECT_EQ(got.text, expected.text);
    EXPECT_EQ(got.x, expected.x);
    EXPECT_EQ(got.y, expected.y);
    EXPECT_EQ(got.cx, expected.cx);
    EXPECT_EQ(got.cy, expected.cy);
    EXPECT_EQ(hex(got.style), hex(expected.style));
    EXPECT_EQ(got.exStyle, 0u);
  }
}

// A pop-up with a caption and no system menu (so no close box), in the
// system font, with the frame and class of an ordinary dialog.
void expectPlainPopup(const ParsedDialog& dialog) {
  EXPECT_EQ(hex(dialog.style), hex(WS_POPUP | WS_CAPTION));
  EXPECT_EQ(dialog.exStyle, 0u);
  EXPECT_EQ(dialog.menu, "");
  EXPECT_EQ(dialog.windowClass, "");
}

TEST(DialogResource, EntryTemplateHoldsEveryControlInTabOrder) {
  ParsedDialog dialog;
  ASSERT_TRUE(loadDialog("KV_ENTRY", &dialog));
  expectPlainPopup(dialog);
  EXPECT_EQ(dialog.caption, "Add/Edit Time");
  EXPECT_EQ(dialog.x, 34);
  EXPECT_EQ(dialog.y, 16);
  EXPECT_EQ(dialog.cx, 280);
  EXPECT_EQ(dialog.cy, 134);
  expectControls(dialog, kEntryControls, std::size(kEntryControls));
}

TEST(DialogResource, SettingsTemplateHasCancelAsDefault) {
  ParsedDialog dialog;
  ASSERT_TRUE(loadDialog("SETTINGS", &dialog));
  expectPlainPopup(dialog);
  EXPECT_EQ(dialog.caption, "KV Settings");
  EXPECT_EQ(dialog.x, 12);
  EXPECT_EQ(dialog.y, 20);
  EXPECT_EQ(dialog.cx, 136);
  EXPECT_EQ(dialog.cy, 94);
  expectControls(dialog, kSettingsControls, std::size(kSettingsControls));
}

const ParsedControl* findControl(const ParsedDialog& dialog, int id) {
  for (const ParsedControl& c : dialog.controls) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

TEST(DialogResource, AboutTemplateHasProductVersionIconPlaceAndOk) {
  ParsedDialog dialog;
  ASSERT_TRUE(loadDialog("ABOUT", &dialog));
  EXPECT_EQ(dialog.caption, "About");
  EXPECT_EQ(dialog.style & WS_SYSMENU, 0u);
  EXPECT_EQ(dialog.controls.size(), 4u);
  for (int id : {100, 101, 108}) {
    const ParsedControl* label = findControl(dialog, id);
    ASSERT_NE(label, nullptr) << "control " << id;
    EXPECT_EQ(label->className, "static") << "control " << id;
  }
  // The icon is drawn over the box's own client area at this place, so the
  // control must not paint there itself.
  EXPECT_EQ(findControl(dialog, 108)->style & WS_VISIBLE, 0u);
  const ParsedControl* ok = findControl(dialog, 1);
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->className, "button");
  EXPECT_EQ(ok->text, "OK");
  EXPECT_EQ(ok->style & 0xF, static_cast<DWORD>(BS_DEFPUSHBUTTON));
}

INT_PTR CALLBACK quietDialogProc(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

// Each template as the dialog manager builds it: every control is created.
TEST(DialogResource, EveryTemplateCreatesAllItsControls) {
  struct Case {
    const char* name;
    const char* caption;
    std::vector<int> ids;
  };
  std::vector<int> entryIds;
  for (const ExpectedControl& c : kEntryControls) entryIds.push_back(c.id);
  std::vector<int> settingsIds;
  for (const ExpectedControl& c : kSettingsControls) settingsIds.push_back(c.id);
  const Case cases[] = {
      {"KV_ENTRY", "Add/Edit Time", entryIds},
      {"SETTINGS", "KV Settings", settingsIds},
      {"ABOUT", "About", {100, 101, 108, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND dialog = CreateDialogParamA(thisModule(), c.name, nullptr, quietDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    char caption[64] = {};
    GetWindowTextA(dialog, caption, sizeof caption);
    EXPECT_STREQ(caption, c.caption);
    for (int id : c.ids) EXPECT_NE(GetDlgItem(dialog, id), nullptr) << "control " << id;
    DestroyWindow(dialog);
  }
}

TEST(DialogResource, AboutIconPlaceHoldsAFullSizeIcon) {
  HWND dialog = CreateDialogParamA(thisModule(), "ABOUT", nullptr, quietDialogProc, 0);
  ASSERT_NE(dialog, nullptr);
  HWND place = GetDlgItem(dialog, 108);
  ASSERT_NE(place, nullptr);
  RECT rect = {};
  GetWindowRect(place, &rect);
  EXPECT_GE(rect.right - rect.left, GetSystemMetrics(SM_CXICON));
  EXPECT_GE(rect.bottom - rect.top, GetSystemMetrics(SM_CYICON));
  DestroyWindow(dialog);
}

// ------------------------------------------------------------------ icon

TEST(IconResource, GroupHoldsA32And16PixelImage) {
  HRSRC found = FindResourceA(thisModule(), "KV", MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_NE(found, nullptr);
  const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(thisModule(), found)));
  ASSERT_NE(group, nullptr);
  ASSERT_GE(SizeofResource(thisModule(), found), 6u);
  const WORD type = static_cast<WORD>(group[2] | (group[3] << 8));
  const WORD count = static_cast<WORD>(group[4] | (group[5] << 8));
  EXPECT_EQ(type, 1) << "an icon, not a cursor";
  ASSERT_EQ(SizeofResource(thisModule(), found), 6u + 14u * count);
  std::vector<int> sizes;
  for (WORD i = 0; i < count; ++i) {
    const BYTE* entry = group + 6 + 14 * i;
    EXPECT_EQ(entry[0], entry[1]) << "square";
    sizes.push_back(entry[0]);
  }
  std::sort(sizes.begin(), sizes.end());
  EXPECT_EQ(sizes, (std::vector<int>{16, 32}));

  HICON icon = LoadIconA(thisModule(), "KV");
  EXPECT_NE(icon, nullptr);
}

}  // namespace
