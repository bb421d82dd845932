#include "file_call_faults_win32.h"

namespace kvtest {
namespace {

FileCallFault faultOf = nullptr;

bool fails(const char* call) {
  return faultOf && faultOf(call);
}

HANDLE WINAPI createFile(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                         DWORD disposition, DWORD flags, HANDLE model) {
  if (fails("create")) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  return CreateFileW(name, access, share, security, disposition, flags, model);
}
BOOL WINAPI getFileSize(HANDLE file, PLARGE_INTEGER size) {
  return fails("size") ? FALSE : GetFileSizeEx(file, size);
}
BOOL WINAPI readFile(HANDLE file, LPVOID bytes, DWORD size, LPDWORD read, LPOVERLAPPED overlapped) {
  if (fails("read")) {
    *read = 0;
    return TRUE;
  }
  return ReadFile(file, bytes, size, read, overlapped);
}
BOOL WINAPI writeFile(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written,
                      LPOVERLAPPED overlapped) {
  return WriteFile(file, bytes, fails("write") ? size / 2 : size, written, overlapped);
}
BOOL WINAPI flushFile(HANDLE file) {
  return fails("flush") ? FALSE : FlushFileBuffers(file);
}
BOOL WINAPI closeHandle(HANDLE handle) {
  const bool fault = fails("close");
  const BOOL closed = CloseHandle(handle);
  return fault ? FALSE : closed;
}
BOOL WINAPI moveFile(LPCWSTR from, LPCWSTR to, DWORD flags) {
  if (fails("replace")) {
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
  }
  return MoveFileExW(from, to, flags);
}

}  // namespace

kv::FileCalls faultyFileCalls(FileCallFault fault) {
  faultOf = fault;
  kv::FileCalls calls;
  calls.createFile = createFile;
  calls.getFileSize = getFileSize;
  calls.readFile = readFile;
  calls.writeFile = writeFile;
  calls.flushFile = flushFile;
  calls.closeHandle = closeHandle;
  calls.moveFile = moveFile;
  return calls;
}

}  // namespace kvtest
