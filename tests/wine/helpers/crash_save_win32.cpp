// Saves as kv.exe does and ends the process before the K-th file call of
// the save, as a crash or a power cut at that step would:
//   kv_crash_save PATH K
// writes 3 MiB of new bytes (several writes) over PATH. Exit status 3 when
// it ended at step K, 0 when the save had fewer steps and completed, 1 when
// the save failed.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "file_call_faults_win32.h"

namespace {

int stepsLeft = 0;

bool endBeforeTheStep(const char*) {
  if (--stepsLeft == 0) ExitProcess(3);
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  stepsLeft = std::atoi(argv[2]);
  const std::string bytes(3u << 20, 'n');
  return kv::replaceFileContents(argv[1], bytes, kvtest::faultyFileCalls(endBeforeTheStep)) ? 0 : 1;
}
