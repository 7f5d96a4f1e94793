#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/ProcFd.h"

namespace quorvel {

// Counts the process directories (names made of digits) of a proc mount, through a
// descriptor kept open and a buffer that only grows.
class ProcDirectory {
public:
    ProcDirectory() = default;
    ProcDirectory(int dirFd, std::string path) : dirFd_(dirFd), path_(std::move(path)) {}

    std::optional<std::size_t> countProcesses();

private:
    int dirFd_ = -1;
    std::string path_;
    ProcFd fd_;
    std::vector<char> buffer_;
};

}  // namespace quorvel
