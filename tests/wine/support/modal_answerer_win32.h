// Answers a modal box of this very process from a second thread, so that an
// in-process test can run a command that asks a question and blocks.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace kvtest {

class ModalAnswerer {
 public:
  // Starts watching for a box with this caption; presses buttonId on it.
  ModalAnswerer(const char* caption, int buttonId, DWORD timeoutMs = 10000,
                std::function<void(HWND box)> beforeAnswering = nullptr);
  ~ModalAnswerer();
  ModalAnswerer(const ModalAnswerer&) = delete;
  ModalAnswerer& operator=(const ModalAnswerer&) = delete;

  // Waits for the watcher; true when a box came and was answered.
  bool answered();
  // The box's text (valid once answered() returned).
  const std::string& text() const { return text_; }

 private:
  static DWORD WINAPI watch(LPVOID self);

  std::string caption_;
  int buttonId_;
  DWORD timeoutMs_;
  std::function<void(HWND box)> beforeAnswering_;
  std::string text_;
  bool answered_ = false;
  HANDLE thread_ = nullptr;
};

// Handles every message waiting for this thread (and drops a posted quit).
void pumpMessages();

}  // namespace kvtest
