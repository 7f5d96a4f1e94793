#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/if.h>
#include <linux/if_tun.h>
#include <poll.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "platform/linux/ProcFd.h"
#include "platform/linux/ProcValueSource.h"

namespace quorvel {
namespace {

// Moves the (single-threaded) test process into fresh namespaces, which keep other
// programs' traffic out, and back into its own when it goes.
class FreshNamespaces {
public:
    explicit FreshNamespaces(int kinds) : entered(::unshare(kinds) == 0) {}
    ~FreshNamespaces() {
        if (entered) {
            (void)::setns(net_.get(), CLONE_NEWNET);
            (void)::setns(mnt_.get(), CLONE_NEWNS);
            (void)::fchdir(cwd_.get());
        }
    }
    FreshNamespaces(const FreshNamespaces&) = delete;
    FreshNamespaces& operator=(const FreshNamespaces&) = delete;

private:
    ProcFd net_{::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC)};
    ProcFd mnt_{::open("/proc/self/ns/mnt", O_RDONLY | O_CLOEXEC)};
    ProcFd cwd_{::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)};

public:
    const bool entered;
};

// Collects the paths before and after `traffic`, which returns the bytes it moved for
// each; gives each reading next to those bytes over the very interval the source measured.
template <class Traffic>
std::vector<std::pair<double, double>> measure(const std::vector<const char*>& paths, Traffic traffic) {
    std::vector<std::int64_t> taken;
    ProcValueSource source(
        "/", [&taken] { return taken.emplace_back(std::chrono::steady_clock::now().time_since_epoch().count()); });
    QueryHandle query = 0;
    std::vector<CounterHandle> handles(paths.size());
    source.openQuery(query);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        source.addCounter(query, paths[i], handles[i]);
    }
    source.collect(query);
    const std::vector<std::size_t> bytes = traffic();
    source.collect(query);
    const double seconds = static_cast<double>(taken.back() - taken.at(taken.size() - 2)) / 1e9;
    std::vector<std::pair<double, double>> seen;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        CounterStatus status = 0;
        seen.emplace_back(source.readDouble(handles[i], status), static_cast<double>(bytes.at(i)) / seconds);
    }
    return seen;
}

void expectRate(const std::pair<double, double>& seen, const char* what) {
    EXPECT_GT(seen.second, 0.0) << what;
    // The counted bytes also hold the link headers of each datagram: under 0.1 % here.
    EXPECT_NEAR(seen.first, seen.second, seen.second * 0.03) << what;
}

sockaddr_in endpoint(const char* address, std::uint16_t port) {
    sockaddr_in in{AF_INET, htons(port), {}, {}};
    ::inet_pton(AF_INET, address, &in.sin_addr);
    return in;
}

bool interfaceIoctl(const char* name, unsigned long request, const char* address = nullptr) {
    const ProcFd sock(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    ifreq req{};
    std::strncpy(req.ifr_name, name, IFNAMSIZ - 1);
    if (address != nullptr) {
        const sockaddr_in in = endpoint(address, 0);
        std::memcpy(&req.ifr_addr, &in, sizeof in);
    } else if (::ioctl(sock.get(), SIOCGIFFLAGS, &req) == 0) {
        req.ifr_flags = static_cast<short>(req.ifr_flags | IFF_UP | IFF_RUNNING);
    } else {
        return false;
    }
    return ::ioctl(sock.get(), request, &req) == 0;
}

std::size_t sendDatagrams(int sock, const sockaddr_in& to, std::size_t size, int count) {
    const std::vector<char> payload(size, 'q');
    std::size_t sent = 0;
    for (int i = 0; i < count; ++i) {
        const ssize_t n = ::sendto(sock, payload.data(), size, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
        sent += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    return sent;
}

TEST(ProcLive, LoopbackTrafficShowsInBytesSent) {
    // Without the right to make a network namespace, the host's loopback serves.
    const FreshNamespaces ns(CLONE_NEWNET);
    ASSERT_TRUE(!ns.entered || interfaceIoctl("lo", SIOCSIFFLAGS)) << "cannot bring up loopback";
    // The socket sends to itself and never reads: what its buffer cannot hold was still sent.
    const ProcFd sock(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    sockaddr_in to = endpoint("127.0.0.1", 0);
    socklen_t length = sizeof to;
    ASSERT_EQ(::bind(sock.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to), 0);
    ASSERT_EQ(::getsockname(sock.get(), reinterpret_cast<sockaddr*>(&to), &length), 0);
    const auto seen = measure({"\\Network Interface(lo)\\Bytes Sent/sec"},
                              [&] { return std::vector<std::size_t>{sendDatagrams(sock.get(), to, 60000, 300)}; });
    expectRate(seen[0], "sent");
}

// Sends datagrams out through the tun device and writes as many packets from the far end
// into it; gives the bytes it saw leave and arrive.
std::vector<std::size_t> tunTraffic(int tun) {
    constexpr int kCount = 200;
    const ProcFd sock(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    sendDatagrams(sock.get(), endpoint("10.213.0.2", 9), 1000, kCount);
    std::vector<std::size_t> bytes{0, 0, 0};
    std::vector<char> frame(65536);
    pollfd ready{tun, POLLIN, 0};
    for (int got = 0; got < kCount && (::poll(&ready, 1, 2000) > 0); ++got) {
        bytes[0] += static_cast<std::size_t>(std::max(::read(tun, frame.data(), frame.size()), ssize_t{0}));
    }
    // The device counts what it is given before IP looks at it, so a bare IPv4 header
    // and padding do; IP then drops them without an answer.
    std::vector<char> packet(700, 0);
    packet[0] = 0x45;
    for (int i = 0; i < kCount; ++i) {
        const ssize_t n = ::write(tun, packet.data(), packet.size());
        bytes[1] += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    return bytes;
}

TEST(ProcLive, RasTotalCountsTrafficOverATunLink) {
    if (::geteuid() != 0 || ::access("/dev/net/tun", R_OK | W_OK) != 0) {
        GTEST_SKIP() << "creating a tun interface in a network namespace needs root and /dev/net/tun";
    }
    // sysfs shows the network namespace of whoever mounted it: mount a fresh one over
    // /sys, in a mount namespace whose changes stay private.
    const FreshNamespaces ns(CLONE_NEWNET | CLONE_NEWNS);
    if (!ns.entered || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("sysfs", "/sys", "sysfs", 0, nullptr) != 0) {
        GTEST_SKIP() << "cannot enter new network and mount namespaces with a sysfs of their own";
    }
    const ProcFd tun(::open("/dev/net/tun", O_RDWR | O_CLOEXEC | O_NONBLOCK));
    ifreq req{};
    std::strncpy(req.ifr_name, "qvtun0", IFNAMSIZ - 1);
    req.ifr_flags = IFF_TUN | IFF_NO_PI;
    if (!tun.valid() || ::ioctl(tun.get(), TUNSETIFF, &req) != 0) {
        GTEST_SKIP() << "cannot create a tun interface";
    }
    ASSERT_TRUE(interfaceIoctl("qvtun0", SIOCSIFADDR, "10.213.0.1") &&
                interfaceIoctl("qvtun0", SIOCSIFDSTADDR, "10.213.0.2") && interfaceIoctl("qvtun0", SIOCSIFFLAGS));
    const auto seen = measure(
        {"\\RAS Total\\Bytes Transmitted/Sec", "\\RAS Total\\Bytes Received/Sec", "\\RAS Total\\Total Connections"},
        [&tun] { return tunTraffic(tun.get()); });
    expectRate(seen[0], "transmitted");
    expectRate(seen[1], "received");
    EXPECT_EQ(seen[2].first, 1.0) << "connections";
}

}  // namespace
}  // namespace quorvel
