#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/ProcFd.h"

namespace quorvel {

// A kernel text file read again and again through one descriptor kept open: each
// read is a pread from offset 0 until end of file into a buffer that only grows, so
// a steady reader neither opens files nor allocates memory.
class ProcFile {
public:
    ProcFile() = default;
    // `path` is relative to the directory `dirFd`, which must outlive the object.
    ProcFile(int dirFd, std::string path) : dirFd_(dirFd), path_(std::move(path)) {}

    // The whole current content, or nothing when the file cannot be opened or read.
    // The view stays good until the next read.
    std::optional<std::string_view> read();

private:
    int dirFd_ = -1;
    std::string path_;
    ProcFd fd_;
    std::vector<char> buffer_;
};

}  // namespace quorvel
