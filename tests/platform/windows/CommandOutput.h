#pragma once

#include <array>
#include <cstdio>
#include <string>

namespace quorvel::test {

// Standard output of a command run by the system's command interpreter.
inline std::string commandOutput(const std::string& command) {
    std::string out;
    FILE* pipe = ::_popen(command.c_str(), "rb");
    if (pipe == nullptr) {
        return out;
    }
    std::array<char, 4096> chunk{};
    for (std::size_t n = 0; (n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0;) {
        out.append(chunk.data(), n);
    }
    ::_pclose(pipe);
    return out;
}

}  // namespace quorvel::test
