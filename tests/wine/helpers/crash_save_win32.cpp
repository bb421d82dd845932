// Saves as kv.exe does and ends the process before the K-th file call of
// the save, as a crash or a power cut at that step would:
//   kv_crash_save PATH K
// writes 3 MiB of new bytes (several writes) over PATH. Exit status 3 when
// it ended at step K, 0 when the save had fewer steps and completed, 1 when
// the save failed.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "schedule/file_io_win32.h"

namespace {

int stepsLeft = 0;

void crashBeforeTheStep() {
  if (--stepsLeft == 0) ExitProcess(3);
}

HANDLE WINAPI createFile(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                         DWORD disposition, DWORD flags, HANDLE model) {
  crashBeforeTheStep();
  return CreateFileA(name, access, share, security, disposition, flags, model);
}
BOOL WINAPI writeFile(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written,
                      LPOVERLAPPED overlapped) {
  crashBeforeTheStep();
  return WriteFile(file, bytes, size, written, overlapped);
}
BOOL WINAPI flushFile(HANDLE file) {
  crashBeforeTheStep();
  return FlushFileBuffers(file);
}
BOOL WINAPI closeHandle(HANDLE handle) {
  crashBeforeTheStep();
  return CloseHandle(handle);
}
BOOL WINAPI moveFile(LPCSTR from, LPCSTR to, DWORD flags) {
  crashBeforeTheStep();
  return MoveFileExA(from, to, flags);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  stepsLeft = std::atoi(argv[2]);
  kv::FileCalls calls;
  calls.createFile = createFile;
  calls.writeFile = writeFile;
  calls.flushFile = flushFile;
  calls.closeHandle = closeHandle;
  calls.moveFile = moveFile;
  const std::string bytes(3u << 20, 'n');
  return kv::replaceFileContents(argv[1], bytes, calls) ? 0 : 1;
}
