// Reads what a running program holds, for the soak run: its handle count,
// GDI and USER objects and private memory. The program is found by its main
// window, whose title ends with the given text (the schedule's file name and
// the closing bracket, so that one run's kv.exe is told from any other).
//
//   kv_process_stats <title end>           prints one line of figures
//   kv_process_stats <title end> --close   asks the window to close
//
// Exit status 0 when the window was found, 1 when it was not, 2 on a usage
// error. Figures the platform cannot give are printed as -1: Wine 8 answers
// GetProcessHandleCount, GetGuiResources and GetProcessMemoryInfo for
// another process with 0, which no running program with a window has. So
// the handles are also counted in the system's handle table (which Wine
// keeps), and the process's windows, top-level and child, are counted as
// the part of its USER objects that can be seen from outside.

// GetProcessHandleCount and the private memory figure came after the
// Windows version that the program itself is built for.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Search {
  std::string titleEnd;
  HWND found = nullptr;
};

BOOL CALLBACK matchTitle(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  char title[512] = "";
  int length = GetWindowTextA(window, title, sizeof title);
  const std::string& end = search->titleEnd;
  if (length >= static_cast<int>(end.size()) &&
      std::strcmp(title + length - static_cast<int>(end.size()), end.c_str()) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

long long privateBytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof counters)) {
    return -1;
  }
  return counters.PrivateUsage > 0 ? static_cast<long long>(counters.PrivateUsage) : -1;
}

long long handleCount(HANDLE process) {
  DWORD count = 0;
  return GetProcessHandleCount(process, &count) && count > 0 ? static_cast<long long>(count) : -1;
}

// The system's handle table (SystemExtendedHandleInformation).
struct HandleEntry {
  PVOID object;
  ULONG_PTR processId;
  ULONG_PTR handleValue;
  ULONG grantedAccess;
  USHORT creatorBackTraceIndex;
  USHORT objectTypeIndex;
  ULONG handleAttributes;
  ULONG reserved;
};
struct HandleTable {
  ULONG_PTR count;
  ULONG_PTR reserved;
  HandleEntry entries[1];
};
constexpr ULONG kSystemExtendedHandleInformation = 64;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004L);
using QuerySystemInformation = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);

long long handlesInSystemTable(DWORD processId) {
  // Through GetProcAddress: the class is not in the headers' enumeration.
  auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return -1;
  std::vector<unsigned char> buffer(1 << 16);
  for (;;) {
    ULONG needed = 0;
    LONG status = query(kSystemExtendedHandleInformation, buffer.data(),
                        static_cast<ULONG>(buffer.size()), &needed);
    if (status == kInfoLengthMismatch && buffer.size() < (1u << 28)) {
      buffer.resize(std::max<std::size_t>(buffer.size() * 2, std::size_t{needed} + 4096));
      continue;
    }
    if (status < 0) return -1;
    break;
  }
  const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
  const std::size_t room = (buffer.size() - offsetof(HandleTable, entries)) / sizeof(HandleEntry);
  const std::size_t entries = std::min<std::size_t>(table->count, room);
  long long count = 0;
  for (std::size_t i = 0; i < entries; ++i) {
    if (table->entries[i].processId == processId) ++count;
  }
  return count > 0 ? count : -1;
}

long long guiResources(HANDLE process, DWORD kind) {
  DWORD count = GetGuiResources(process, kind);
  return count > 0 ? static_cast<long long>(count) : -1;
}

struct WindowCount {
  DWORD processId;
  long long count;
};

BOOL CALLBACK countChild(HWND, LPARAM context) {
  ++reinterpret_cast<WindowCount*>(context)->count;
  return TRUE;
}

BOOL CALLBACK countTopLevel(HWND window, LPARAM context) {
  auto* windows = reinterpret_cast<WindowCount*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != windows->processId) return TRUE;
  ++windows->count;
  EnumChildWindows(window, countChild, context);
  return TRUE;
}

long long windowCount(DWORD processId) {
  WindowCount windows{processId, 0};
  EnumWindows(countTopLevel, reinterpret_cast<LPARAM>(&windows));
  return windows.count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3 || (argc == 3 && std::strcmp(argv[2], "--close") != 0)) {
    std::fprintf(stderr, "usage: kv_process_stats <end of the window title> [--close]\n");
    return 2;
  }
  Search search{argv[1]};
  EnumWindows(matchTitle, reinterpret_cast<LPARAM>(&search));
  if (!search.found) {
    std::printf("window not found\n");
    return 1;
  }
  if (argc == 3) {
    PostMessageA(search.found, WM_CLOSE, 0, 0);
    return 0;
  }
  DWORD id = 0;
  GetWindowThreadProcessId(search.found, &id);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
  if (!process) {
    std::printf("process %lu cannot be opened\n", static_cast<unsigned long>(id));
    return 1;
  }
  std::printf(
      "pid=%lu handles=%lld table_handles=%lld gdi=%lld user=%lld windows=%lld private=%lld\n",
      static_cast<unsigned long>(id), handleCount(process), handlesInSystemTable(id),
      guiResources(process, GR_GDIOBJECTS), guiResources(process, GR_USEROBJECTS), windowCount(id),
      privateBytes(process));
  CloseHandle(process);
  return 0;
}
