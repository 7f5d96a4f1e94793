#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

namespace quorvel::testing {

// The display of the X session that the CTest fixture XSession started for this run (one
// Xvfb with a window manager, shared by every test that needs a display), or "" outside it.
inline std::string sharedDisplay() {
    const char* folder = std::getenv("QUORVEL_XSESSION");
    if (folder == nullptr) {
        return {};
    }
    std::ifstream source(std::string(folder) + "/display");
    std::string display;
    source >> display;
    return display;
}

}  // namespace quorvel::testing
