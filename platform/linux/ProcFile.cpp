#include "platform/linux/ProcFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace quorvel {

std::optional<std::string_view> ProcFile::read() {
    if (!fd_.valid()) {
        fd_.reset(::openat(dirFd_, path_.c_str(), O_RDONLY | O_CLOEXEC));
        if (!fd_.valid()) {
            return std::nullopt;
        }
    }
    if (buffer_.empty()) {
        buffer_.resize(4096);
    }
    // procfs hands out at most about a page per call for many files, so a short read
    // does not mean the end; only a read of nothing does.
    std::size_t used = 0;
    for (;;) {
        if (used == buffer_.size()) {
            buffer_.resize(buffer_.size() * 2);
        }
        const ssize_t n = ::pread(fd_.get(), buffer_.data() + used, buffer_.size() - used, static_cast<off_t>(used));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        used += static_cast<std::size_t>(n);
    }
    return std::string_view(buffer_.data(), used);
}

}  // namespace quorvel
