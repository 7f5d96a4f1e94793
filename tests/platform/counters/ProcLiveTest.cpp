#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/if.h>
#include <linux/if_tun.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/ProcFd.h"
#include "platform/linux/ProcValueSource.h"

namespace quorvel {
namespace {

// What a child process measured; plain data so that it can cross a pipe.
struct Measured {
    std::array<char, 200> skip{};  // why the test could not run, empty when it did
    double rate[2]{};
    double expected[2]{};
    CounterStatus status[2]{};
    double connections = -1;
};

Measured skipped(const std::string& why) {
    Measured m;
    std::strncpy(m.skip.data(), why.c_str(), m.skip.size() - 1);
    return m;
}

// Runs `body` in a forked child, so that it may enter namespaces of its own without
// touching the test process, and hands back what it measured.
template <class Body>
Measured inChild(Body body) {
    std::array<int, 2> pipeFds{};
    if (::pipe(pipeFds.data()) != 0) {
        ADD_FAILURE() << "pipe failed";
        return {};
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        const Measured result = body();
        const bool written = ::write(pipeFds[1], &result, sizeof result) == static_cast<ssize_t>(sizeof result);
        ::_exit(written ? 0 : 1);
    }
    ::close(pipeFds[1]);
    Measured result;
    const ssize_t n = ::read(pipeFds[0], &result, sizeof result);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (n != static_cast<ssize_t>(sizeof result) || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        ADD_FAILURE() << "the measuring child failed";
        return skipped("child failed");
    }
    return result;
}

std::int64_t monotonicNs() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// A clock for the source that remembers the times the source took, so that the
// expected rate uses the very interval the source measured.
struct RecordingClock {
    std::vector<std::int64_t> taken;
    ProcValueSource::Clock clock() {
        return [this] {
            taken.push_back(monotonicNs());
            return taken.back();
        };
    }
    [[nodiscard]] double lastIntervalSeconds() const {
        return static_cast<double>(taken.at(taken.size() - 1) - taken.at(taken.size() - 2)) / 1e9;
    }
};

bool setInterfaceUp(const char* name) {
    const ProcFd sock(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    ifreq req{};
    std::strncpy(req.ifr_name, name, IFNAMSIZ - 1);
    if (!sock.valid() || ::ioctl(sock.get(), SIOCGIFFLAGS, &req) != 0) {
        return false;
    }
    req.ifr_flags = static_cast<short>(req.ifr_flags | IFF_UP | IFF_RUNNING);
    return ::ioctl(sock.get(), SIOCSIFFLAGS, &req) == 0;
}

bool setAddress(int sock, const char* name, unsigned long request, const char* address) {
    ifreq req{};
    std::strncpy(req.ifr_name, name, IFNAMSIZ - 1);
    sockaddr_in in{};
    in.sin_family = AF_INET;
    ::inet_pton(AF_INET, address, &in.sin_addr);
    std::memcpy(&req.ifr_addr, &in, sizeof in);
    return ::ioctl(sock, request, &req) == 0;
}

sockaddr_in endpoint(const char* address, std::uint16_t port) {
    sockaddr_in in{};
    in.sin_family = AF_INET;
    in.sin_port = htons(port);
    ::inet_pton(AF_INET, address, &in.sin_addr);
    return in;
}

bool collect(ProcValueSource& source, QueryHandle query) {
    return source.collect(query) == counter_status::Valid;
}

TEST(ProcLive, LoopbackTrafficShowsInBytesSent) {
    const Measured m = inChild([] {
        // A network namespace of its own keeps other programs' loopback traffic out;
        // without the right to make one, the host's loopback serves.
        if (::unshare(CLONE_NEWNET) == 0 && !setInterfaceUp("lo")) {
            return skipped("cannot bring up loopback in a new network namespace");
        }
        RecordingClock clock;
        ProcValueSource source("/", clock.clock());
        QueryHandle query = 0;
        CounterHandle sent = 0;
        source.openQuery(query);
        source.addCounter(query, "\\Network Interface(lo)\\Bytes Sent/sec", sent);

        const ProcFd receiver(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
        const ProcFd sender(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
        sockaddr_in to = endpoint("127.0.0.1", 0);
        socklen_t length = sizeof to;
        if (::bind(receiver.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0 ||
            ::getsockname(receiver.get(), reinterpret_cast<sockaddr*>(&to), &length) != 0) {
            return skipped("cannot bind a UDP socket on loopback");
        }
        constexpr std::size_t kPayload = 60000;
        constexpr int kCount = 300;
        std::vector<char> buffer(kPayload, 'q');
        collect(source, query);
        std::size_t payload = 0;
        for (int i = 0; i < kCount; ++i) {
            if (::sendto(sender.get(), buffer.data(), buffer.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                         sizeof to) == static_cast<ssize_t>(kPayload)) {
                payload += kPayload;
            }
            (void)::recv(receiver.get(), buffer.data(), buffer.size(), MSG_DONTWAIT);
        }
        collect(source, query);
        Measured result;
        result.rate[0] = source.readDouble(sent, result.status[0]);
        // Each datagram also carries its UDP, IP and link headers: under 0.1 % here.
        result.expected[0] = static_cast<double>(payload) / clock.lastIntervalSeconds();
        return result;
    });
    if (m.skip[0] != '\0') {
        GTEST_SKIP() << m.skip.data();
    }
    EXPECT_EQ(m.status[0], counter_status::Valid);
    EXPECT_GT(m.expected[0], 0.0);
    EXPECT_NEAR(m.rate[0], m.expected[0], m.expected[0] * 0.03);
}

// Builds an IPv4/UDP packet from the far end of the link to this one.
std::vector<unsigned char> inboundPacket(std::size_t size, std::uint16_t port) {
    std::vector<unsigned char> p(size, 0x5a);
    p[0] = 0x45;
    p[1] = 0;
    p[2] = static_cast<unsigned char>(size >> 8);
    p[3] = static_cast<unsigned char>(size & 0xff);
    p[4] = p[5] = 0;
    p[6] = 0x40;  // do not fragment
    p[7] = 0;
    p[8] = 64;
    p[9] = IPPROTO_UDP;
    const std::array<unsigned char, 8> addresses{10, 213, 0, 2, 10, 213, 0, 1};
    std::memcpy(&p[12], addresses.data(), addresses.size());
    std::uint32_t sum = 0;
    p[10] = p[11] = 0;
    for (std::size_t i = 0; i < 20; i += 2) {
        sum += static_cast<std::uint32_t>((p[i] << 8) | p[i + 1]);
    }
    while ((sum >> 16) != 0) {
        sum = (sum & 0xffff) + (sum >> 16);
    }
    const auto checksum = static_cast<std::uint16_t>(~sum);
    p[10] = static_cast<unsigned char>(checksum >> 8);
    p[11] = static_cast<unsigned char>(checksum & 0xff);
    const std::size_t udpLength = size - 20;
    p[20] = 0x30;  // source port 12345
    p[21] = 0x39;
    p[22] = static_cast<unsigned char>(port >> 8);
    p[23] = static_cast<unsigned char>(port & 0xff);
    p[24] = static_cast<unsigned char>(udpLength >> 8);
    p[25] = static_cast<unsigned char>(udpLength & 0xff);
    p[26] = p[27] = 0;  // no UDP checksum
    return p;
}

// sysfs shows the network namespace of whoever mounted it, so the child mounts its own
// under a private root whose proc is the real one.
std::string privateRoot() {
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return {};
    }
    std::string root = "/tmp/quorvel-tun-XXXXXX";
    if (::mkdtemp(root.data()) == nullptr) {
        return {};
    }
    const std::string sys = root + "/sys";
    if (::mkdir(sys.c_str(), 0700) != 0 || ::mount("sysfs", sys.c_str(), "sysfs", 0, nullptr) != 0 ||
        ::symlink("/proc", (root + "/proc").c_str()) != 0) {
        return {};
    }
    return root;
}

void removePrivateRoot(const std::string& root) {
    ::umount((root + "/sys").c_str());
    ::rmdir((root + "/sys").c_str());
    ::unlink((root + "/proc").c_str());
    ::rmdir(root.c_str());
}

Measured measureTun() {
    if (::unshare(CLONE_NEWNET | CLONE_NEWNS) != 0) {
        return skipped(std::string("cannot enter new network and mount namespaces: ") + std::strerror(errno));
    }
    const std::string root = privateRoot();
    if (root.empty()) {
        return skipped("cannot mount a private sysfs");
    }
    struct Cleanup {
        explicit Cleanup(std::string r) : root(std::move(r)) {}
        std::string root;
        Cleanup(const Cleanup&) = delete;
        Cleanup& operator=(const Cleanup&) = delete;
        ~Cleanup() { removePrivateRoot(root); }
    } cleanup{root};

    const ProcFd tun(::open("/dev/net/tun", O_RDWR | O_CLOEXEC | O_NONBLOCK));
    ifreq req{};
    std::strncpy(req.ifr_name, "qvtun0", IFNAMSIZ - 1);
    req.ifr_flags = IFF_TUN | IFF_NO_PI;
    if (!tun.valid() || ::ioctl(tun.get(), TUNSETIFF, &req) != 0) {
        return skipped("cannot create a tun interface");
    }
    // Keep IPv6 housekeeping packets off the link; only the test's traffic should move.
    if (const ProcFd v6(::open("/proc/sys/net/ipv6/conf/qvtun0/disable_ipv6", O_WRONLY | O_CLOEXEC)); v6.valid()) {
        (void)!::write(v6.get(), "1", 1);
    }
    const ProcFd sock(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!setAddress(sock.get(), "qvtun0", SIOCSIFADDR, "10.213.0.1") ||
        !setAddress(sock.get(), "qvtun0", SIOCSIFDSTADDR, "10.213.0.2") || !setInterfaceUp("qvtun0")) {
        return skipped("cannot configure the tun interface");
    }
    const ProcFd receiver(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    const sockaddr_in local = endpoint("10.213.0.1", 5555);
    if (::bind(receiver.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        return skipped("cannot bind on the tun interface");
    }

    RecordingClock clock;
    ProcValueSource source(root, clock.clock());
    QueryHandle query = 0;
    std::array<CounterHandle, 3> h{};
    source.openQuery(query);
    source.addCounter(query, "\\RAS Total\\Bytes Transmitted/Sec", h[0]);
    source.addCounter(query, "\\RAS Total\\Bytes Received/Sec", h[1]);
    source.addCounter(query, "\\RAS Total\\Total Connections", h[2]);
    collect(source, query);

    // Out: datagrams to the far end, which the tun device counts as sent once we have
    // read them from it.
    const sockaddr_in far = endpoint("10.213.0.2", 9);
    std::vector<char> payload(1000, 'o');
    constexpr int kCount = 200;
    for (int i = 0; i < kCount; ++i) {
        (void)::sendto(sock.get(), payload.data(), payload.size(), 0, reinterpret_cast<const sockaddr*>(&far),
                       sizeof far);
    }
    std::size_t sentBytes = 0;
    std::vector<char> frame(65536);
    for (int got = 0; got < kCount;) {
        const ssize_t n = ::read(tun.get(), frame.data(), frame.size());
        if (n > 0) {
            sentBytes += static_cast<std::size_t>(n);
            ++got;
            continue;
        }
        pollfd p{tun.get(), POLLIN, 0};
        if (::poll(&p, 1, 2000) <= 0) {
            break;
        }
    }
    // In: packets from the far end written into the device.
    const auto packet = inboundPacket(700, 5555);
    std::size_t receivedBytes = 0;
    for (int i = 0; i < kCount; ++i) {
        if (::write(tun.get(), packet.data(), packet.size()) == static_cast<ssize_t>(packet.size())) {
            receivedBytes += packet.size();
        }
    }
    collect(source, query);
    Measured m;
    const double seconds = clock.lastIntervalSeconds();
    m.expected[0] = static_cast<double>(sentBytes) / seconds;
    m.expected[1] = static_cast<double>(receivedBytes) / seconds;
    m.rate[0] = source.readDouble(h[0], m.status[0]);
    m.rate[1] = source.readDouble(h[1], m.status[1]);
    CounterStatus ignored = 0;
    m.connections = source.readDouble(h[2], ignored);
    return m;
}

TEST(ProcLive, RasTotalCountsTrafficOverATunLink) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "creating a tun interface in a network namespace needs root";
    }
    if (::access("/dev/net/tun", R_OK | W_OK) != 0) {
        GTEST_SKIP() << "no /dev/net/tun on this machine";
    }
    const Measured m = inChild(measureTun);
    if (m.skip[0] != '\0') {
        GTEST_SKIP() << m.skip.data();
    }
    EXPECT_EQ(m.connections, 1.0);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(m.status[i], counter_status::Valid) << i;
        EXPECT_GT(m.expected[i], 0.0) << i;
        EXPECT_NEAR(m.rate[i], m.expected[i], m.expected[i] * 0.03) << (i == 0 ? "transmitted" : "received");
    }
}

}  // namespace
}  // namespace quorvel
