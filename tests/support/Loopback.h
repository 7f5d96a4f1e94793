#pragma once

// Linux only: network namespaces and loopback traffic for the tests of the counters.
#include <fcntl.h>
#include <linux/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace quorvel::testing {

// Moves the calling thread (and the threads and processes it starts later) into a network
// namespace of its own with loopback up, so that other programs' traffic stays out of the
// counts; back into the old one when it goes. Without the right to, the host's loopback serves.
class PrivateLoopback {
public:
    PrivateLoopback() : old_(::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC)) {
        entered_ = old_ >= 0 && ::unshare(CLONE_NEWNET) == 0;
        if (entered_) {
            const int sock = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
            ifreq req{};
            std::strncpy(req.ifr_name, "lo", IFNAMSIZ - 1);
            if (::ioctl(sock, SIOCGIFFLAGS, &req) == 0) {
                req.ifr_flags = static_cast<short>(req.ifr_flags | IFF_UP | IFF_RUNNING);
                up_ = ::ioctl(sock, SIOCSIFFLAGS, &req) == 0;
            }
            ::close(sock);
        }
    }
    ~PrivateLoopback() {
        if (entered_) {
            (void)::setns(old_, CLONE_NEWNET);
        }
        if (old_ >= 0) {
            ::close(old_);
        }
    }
    PrivateLoopback(const PrivateLoopback&) = delete;
    PrivateLoopback& operator=(const PrivateLoopback&) = delete;
    // False when the namespace was made but its loopback would not come up.
    [[nodiscard]] bool usable() const { return !entered_ || up_; }

private:
    int old_;
    bool entered_ = false;
    bool up_ = false;
};

// Sends `count` datagrams of `size` bytes over loopback to a socket that never reads (what
// its buffer cannot hold was still sent); gives the bytes sent.
inline std::size_t sendOverLoopback(std::size_t size, int count) {
    const int sock = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in to{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t length = sizeof to;
    std::size_t sent = 0;
    if (::bind(sock, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0 &&
        ::getsockname(sock, reinterpret_cast<sockaddr*>(&to), &length) == 0) {
        const std::vector<char> payload(size, 'q');
        for (int i = 0; i < count; ++i) {
            const ssize_t n =
                ::sendto(sock, payload.data(), size, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
            sent += n > 0 ? static_cast<std::size_t>(n) : 0;
        }
    }
    ::close(sock);
    return sent;
}

}  // namespace quorvel::testing
