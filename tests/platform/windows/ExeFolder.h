#pragma once

#include <string>

#include "platform/windows/WindowsProcessInfo.h"

namespace quorvel::test {

// A path beside the running test program.
inline std::string besideExe(const std::string& name) {
    return WindowsProcessInfo().executableFolder() + "\\" + name;
}

}  // namespace quorvel::test
