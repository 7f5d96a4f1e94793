#pragma once

#include <fcntl.h>
#include <linux/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace quorvel::test {

inline constexpr const char* kSnmpd = "/usr/sbin/snmpd";
inline constexpr const char* kCommunity = "quorvel-7f3a";
inline constexpr const char* kUser = "quorveltest";
inline constexpr const char* kAuthPass = "auth-passphrase-19";
inline constexpr const char* kPrivPass = "priv-passphrase-23";

// A directory of the test's own, removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-snmp-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    [[nodiscard]] const std::string& path() const { return path_; }

private:
    std::string path_;
};

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

// A UDP socket on 127.0.0.1 at a port the system chose, bound and never read: a machine
// that does not answer, until it is closed and an agent takes the port.
class SilentPort {
public:
    SilentPort() : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in in{};
        in.sin_family = AF_INET;
        in.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof in;
        if (::bind(fd_, reinterpret_cast<const sockaddr*>(&in), sizeof in) == 0 &&
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&in), &length) == 0) {
            port_ = ntohs(in.sin_port);
        }
    }
    ~SilentPort() { close(); }
    SilentPort(const SilentPort&) = delete;
    SilentPort& operator=(const SilentPort&) = delete;
    void close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    [[nodiscard]] std::uint16_t port() const { return port_; }

private:
    int fd_;
    std::uint16_t port_ = 0;
};

// Debian's snmpd as a child process on 127.0.0.1:port, with a configuration of its own
// (a community and an SNMPv3 authPriv user, both seeing the whole tree), stopped by its
// process id.
class SnmpAgent {
public:
    SnmpAgent(const std::string& dir, std::uint16_t port) {
        const std::string conf = dir + "/snmpd.conf";
        std::filesystem::create_directories(dir + "/persist");
        std::ofstream(conf) << "rocommunity " << kCommunity << " 127.0.0.1 .1\n"
                            << "createUser " << kUser << " SHA \"" << kAuthPass << "\" AES \"" << kPrivPass << "\"\n"
                            << "rouser " << kUser << " priv .1\n"
                            << "[snmp] persistentDir " << dir << "/persist\n";
        const std::string log = dir + "/snmpd.log";
        const std::string address = "udp:127.0.0.1:" + std::to_string(port);
        // Everything the child needs is made before the fork: other threads may hold locks.
        std::vector<std::string> words{kSnmpd, "-f", "-Lf",          log,  "-C", "-c",
                                       conf,   "-M", "/nonexistent", "-m", "",   address};
        std::vector<char*> argv;
        argv.reserve(words.size() + 1);
        for (std::string& w : words) {
            argv.push_back(w.data());
        }
        argv.push_back(nullptr);
        std::string mibs = "MIBS=";
        std::string path = "PATH=/usr/sbin:/usr/bin:/sbin:/bin";
        char* envp[] = {mibs.data(), path.data(), nullptr};
        pid_ = ::fork();
        if (pid_ == 0) {
            ::execve(kSnmpd, argv.data(), envp);
            ::_exit(127);
        }
    }
    ~SnmpAgent() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
    }
    SnmpAgent(const SnmpAgent&) = delete;
    SnmpAgent& operator=(const SnmpAgent&) = delete;

    [[nodiscard]] bool started() const { return pid_ > 0; }

private:
    pid_t pid_ = -1;
};

// Points net-snmp's client side at an snmp.conf of the test's own, before the library
// first reads its configuration: as SNMPv2c with the agent's community, or as the
// SNMPv3 user with authentication and privacy.
inline void writeClientConfig(const std::string& dir, bool v3) {
    std::ofstream conf(dir + "/snmp.conf");
    if (v3) {
        conf << "defVersion 3\ndefSecurityName " << kUser << "\ndefSecurityLevel authPriv\n"
             << "defAuthType SHA\ndefAuthPassphrase " << kAuthPass << "\ndefPrivType AES\n"
             << "defPrivPassphrase " << kPrivPass << "\n";
    } else {
        conf << "defVersion 2c\ndefCommunity " << kCommunity << "\n";
    }
    ::setenv("SNMPCONFPATH", dir.c_str(), 1);
    ::setenv("HOME", dir.c_str(), 1);
}

}  // namespace quorvel::test
