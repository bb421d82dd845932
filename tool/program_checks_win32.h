// Whether an entry's program or document can be started, asked of Windows.
#pragma once

#include <memory>

#include "tool/commands.h"

namespace kv::tool {

std::unique_ptr<ProgramChecks> makeWin32ProgramChecks();

}  // namespace kv::tool
