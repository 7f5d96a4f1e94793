#pragma once

#include <unistd.h>

#include <utility>

namespace quorvel {

// Owns one file descriptor; closes it when it goes.
class ProcFd {
public:
    ProcFd() = default;
    explicit ProcFd(int fd) noexcept : fd_(fd) {}
    ~ProcFd() { reset(); }
    ProcFd(ProcFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    ProcFd& operator=(ProcFd&& other) noexcept {
        if (this != &other) {
            reset(std::exchange(other.fd_, -1));
        }
        return *this;
    }
    ProcFd(const ProcFd&) = delete;
    ProcFd& operator=(const ProcFd&) = delete;

    [[nodiscard]] int get() const noexcept { return fd_; }
    [[nodiscard]] bool valid() const noexcept { return fd_ >= 0; }
    void reset(int fd = -1) noexcept {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

}  // namespace quorvel
