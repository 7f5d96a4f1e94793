#pragma once

#include "platform/windows/SystemLibraries.h"

namespace quorvel::info {

// The tool's one set of system libraries, loaded as needed and kept until it ends.
win::SystemLibraries& Libraries();

}  // namespace quorvel::info
