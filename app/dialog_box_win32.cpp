#include "app/dialog_box_win32.h"

#include "schedule/code_pages_win32.h"
#include "schedule/message_boxes_win32.h"

namespace kv {

void reportDialogNotCreated(HWND owner, const char* templateName) {
  showMessageBox(owner, templateName, " Cannot Create Dialog Box", MB_OK | MB_SYSTEMMODAL);
}

INT_PTR runDialog(HINSTANCE instance, HWND owner, const char* templateName, DLGPROC procedure,
                  LPARAM parameter) {
  const INT_PTR result =
      DialogBoxParamW(instance, toWide(templateName).c_str(), owner, procedure, parameter);
  if (result == -1) reportDialogNotCreated(owner, templateName);
  return result;
}

}  // namespace kv
