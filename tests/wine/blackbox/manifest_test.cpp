// The application manifest inside the built kv.exe: read back from its
// resources, and seen to take effect in the running program.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <string>

#include "kivro_process_win32.h"

namespace {

std::string manifestOf(const char* exe) {
  HMODULE module = LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return "<kv.exe not loaded>";
  std::string text = "<no manifest>";
  if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
    HGLOBAL loaded = LoadResource(module, found);
    const char* bytes = static_cast<const char*>(LockResource(loaded));
    if (bytes) text.assign(bytes, SizeofResource(module, found));
  }
  FreeLibrary(module);
  return text;
}

TEST(Manifest, TheProgramCarriesItsManifest) {
  std::string manifest = manifestOf(KV_EXE_PATH);
  struct Part {
    const char* what;
    const char* text;
  };
  const Part parts[] = {
      {"common controls", "name=\"Microsoft.Windows.Common-Controls\""},
      {"their version 6", "version=\"6.0.0.0\""},
      {"for either architecture", "processorArchitecture=\"*\""},
      {"signed by", "publicKeyToken=\"6595b64144ccf1df\""},
      {"no elevation", "level=\"asInvoker\""},
      {"Windows 7", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"},
      {"Windows 8", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"},
      {"Windows 8.1", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}"},
      {"Windows 10 and 11", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"},
      {"system DPI awareness", ">true</dpiAware>"},
  };
  for (const Part& part : parts) {
    EXPECT_NE(manifest.find(part.text), std::string::npos) << part.what << ": " << part.text;
  }
  EXPECT_EQ(manifest.rfind("<?xml", 0), 0u) << manifest.substr(0, 80);
  EXPECT_NE(manifest.find("</assembly>"), std::string::npos);
}

// The loader reads the manifest and binds the program to common controls 6
// only when the manifest parses and names them rightly; the program's list
// box then loads that comctl32 (from the side-by-side store) into it. (Wine
// treats every program as DPI aware, so awareness cannot be seen here.)
std::string commonControlsOf(DWORD processId) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
  if (snapshot == INVALID_HANDLE_VALUE) return "<no snapshot>";
  std::string path = "<not loaded>";
  MODULEENTRY32 module{};
  module.dwSize = sizeof module;
  for (BOOL more = Module32First(snapshot, &module); more; more = Module32Next(snapshot, &module)) {
    if (lstrcmpiA(module.szModule, "comctl32.dll") == 0) path = module.szExePath;
  }
  CloseHandle(snapshot);
  return path;
}

TEST(Manifest, TheRunningProgramUsesCommonControls6) {
  kvtest::KivroProcess kivro;
  ASSERT_NE(kivro.mainWindow(), nullptr);
  std::string path = commonControlsOf(kivro.id());
  CharLowerA(path.data());
  EXPECT_NE(path.find("common-controls"), std::string::npos) << path;
  EXPECT_NE(path.find("_6.0."), std::string::npos) << path;
}

}  // namespace
