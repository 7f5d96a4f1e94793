#pragma once

#include <netinet/in.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
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

// A UDP socket on 127.0.0.1 at a port the system chose, bound and never read: a machine
// that does not answer, until it is closed and an agent takes the port.
class SilentPort {
public:
    SilentPort() : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in in{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
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
// process id, and killed by the kernel when the thread that started it ends (a test killed
// for its time-out leaves no agent behind).
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
        for (std::string& w : words) {
            argv.push_back(w.data());
        }
        argv.push_back(nullptr);
        char* envp[] = {nullptr};  // nothing of the test's environment: no MIBS, no HOME
        const pid_t parent = ::getpid();
        pid_ = ::fork();
        if (pid_ == 0) {
            if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent) {
                ::_exit(126);  // the test is already gone
            }
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
