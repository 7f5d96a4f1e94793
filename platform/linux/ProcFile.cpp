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
    constexpr std::size_t kLargest = 64U << 20;  // no kernel text file comes near; a runaway one stops here
    std::size_t used = 0;
    for (;;) {
        if (used == buffer_.size()) {
            if (buffer_.size() >= kLargest) {
                return std::nullopt;
            }
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
