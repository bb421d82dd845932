// The system's file calls of the file adapter, each asked first whether it
// is to fail: for the tests that make every call of a save or a load fail in
// turn, and end a save at each of its steps.
#pragma once

#include "schedule/file_io_win32.h"

namespace kvtest {

// Asked before each call with its name ("create", "size", "read", "write",
// "flush", "close", "replace"); true makes that call fail. A failing write is
// a short one, a failing read finds the file ended early, and a failing
// close reports an error though it let the handle go.
using FileCallFault = bool (*)(const char* call);

kv::FileCalls faultyFileCalls(FileCallFault fault);

}  // namespace kvtest
