// The dialogs as the dialog manager lays them out in the system font of this
// machine: every visible control lies inside its dialog, and every text fits
// its control without being cut.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

INT_PTR CALLBACK quietDialogProc(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

std::string className(HWND window) {
  char name[32] = "";
  GetClassNameA(window, name, sizeof name);
  CharLowerA(name);
  return name;
}

// The room a text needs, in the font the control draws with, at the width
// it has: statics and buttons break lines at blanks and hyphens.
SIZE textNeeds(HWND control, const std::string& text, LONG width, bool wraps) {
  HDC dc = GetDC(control);
  auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
  RECT box{0, 0, width, 0};
  UINT format = DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE);
  DrawTextA(dc, text.c_str(), -1, &box, format);
  // The space a glyph keeps after it (a colon's, say) is not ink.
  ABC last{};
  LONG trailing = 0;
  if (!text.empty() && GetCharABCWidthsA(dc, static_cast<unsigned char>(text.back()),
                                         static_cast<unsigned char>(text.back()), &last)) {
    trailing = last.abcC > 0 ? static_cast<LONG>(last.abcC) : 0;
  }
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return {box.right - box.left - trailing, box.bottom - box.top};
}

void expectLaidOut(HWND dialog) {
  RECT client{};
  GetClientRect(dialog, &client);
  for (HWND control = GetWindow(dialog, GW_CHILD); control;
       control = GetWindow(control, GW_HWNDNEXT)) {
    if (!(GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE)) continue;
    int id = GetDlgCtrlID(control);
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_TRUE(place.left >= 0 && place.top >= 0 && place.right <= client.right &&
                place.bottom <= client.bottom)
        << "control " << id << " reaches past the dialog's edge";

    char text[512] = "";
    GetWindowTextA(control, text, sizeof text);
    std::string kind = className(control);
    if (!*text || (kind != "static" && kind != "button")) continue;
    DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
    if (kind == "static" && (style & SS_TYPEMASK) == SS_ICON) continue;  // names an icon
    RECT inside{};
    GetClientRect(control, &inside);
    LONG width = inside.right;
    DWORD type = style & 0xF;
    bool marked = kind == "button" && (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX ||
                                       type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON);
    if (marked) width -= GetSystemMetrics(SM_CXMENUCHECK) + 2;
    bool pushButton = kind == "button" && !marked;
    SIZE needs = textNeeds(control, text, width, !pushButton);
    EXPECT_LE(needs.cx, width) << "control " << id << " \"" << text << "\" is cut at the side";
    EXPECT_LE(needs.cy, inside.bottom) << "control " << id << " \"" << text << "\" is cut below";
  }
}

TEST(DialogLayout, EveryControlAndTextFitsInTheSystemFont) {
  for (const char* name : {"KV_ENTRY", "SETTINGS", "ABOUT"}) {
    SCOPED_TRACE(name);
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), name, nullptr, quietDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    expectLaidOut(dialog);
    DestroyWindow(dialog);
  }
}

}  // namespace
