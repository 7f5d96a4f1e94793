#pragma once

// The core's folder constants bear the names that <windows.h> defines as macros
// (HKEY_LOCAL_MACHINE, CSIDL_...). Declared first, they keep their meaning; the macros
// defined afterwards stand for the same values wherever the system's names are used.
#include "platform/FolderLookup.h"
// clang-format off
#include <windows.h>
// clang-format on
