#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

namespace quorvel::testing {

// The display of the X session that the CTest fixture XSession started for this run (one
// Xvfb with a window manager, shared by every test that needs a display), or "" outside it.
inline std::string sharedDisplay() {
    const char* folder = std::getenv("QUORVEL_XSESSION");
    std::string display;
    if (folder != nullptr) {
        std::ifstream(std::string(folder) + "/display") >> display;
    }
    return display;
}

}  // namespace quorvel::testing
