#include "modal_answerer_win32.h"

#include "window_search_win32.h"

namespace kvtest {

ModalAnswerer::ModalAnswerer(const char* caption, int buttonId, DWORD timeoutMs,
                             std::function<void(HWND box)> beforeAnswering)
    : caption_(caption),
      buttonId_(buttonId),
      timeoutMs_(timeoutMs),
      beforeAnswering_(std::move(beforeAnswering)) {
  thread_ = CreateThread(nullptr, 0, watch, this, 0, nullptr);
}

ModalAnswerer::~ModalAnswerer() {
  answered();
}

bool ModalAnswerer::answered() {
  if (thread_) {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  return answered_;
}

DWORD WINAPI ModalAnswerer::watch(LPVOID param) {
  auto* self = static_cast<ModalAnswerer*>(param);
  HWND box = waitForDialog(GetCurrentProcessId(), self->caption_.c_str(), self->timeoutMs_);
  if (!box) return 0;
  self->text_ = messageBoxText(box);
  if (self->beforeAnswering_) self->beforeAnswering_(box);
  pressButton(box, self->buttonId_);
  self->answered_ = true;
  return 0;
}

void pumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace kvtest
