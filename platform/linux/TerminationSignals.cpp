#include "platform/linux/TerminationSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>

namespace quorvel {
namespace {

constexpr std::array<int, 2> kSignals{SIGTERM, SIGHUP};

// Only what the handler may touch: async-signal-safe by construction.
volatile std::sig_atomic_t gWriteFd = -1;
volatile std::sig_atomic_t gReceived = 0;

extern "C" void onTerminationSignal(int signal) {
    if (gReceived != 0) {
        // The close the first signal asked for is still running: end now, by the signal.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    gReceived = 1;
    const int savedErrno = errno;
    const char byte = 1;
    // A full pipe already holds a request; nothing is lost.
    (void)!::write(gWriteFd, &byte, 1);
    errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals() {
    std::array<int, 2> ends{-1, -1};
    if (::pipe2(ends.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    readEnd_.reset(ends[0]);
    writeEnd_.reset(ends[1]);
    gReceived = 0;
    gWriteFd = writeEnd_.get();
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : kSignals) {
        sigaddset(&action.sa_mask, signal);
    }
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

TerminationSignals::~TerminationSignals() {
    if (writeEnd_.valid()) {
        restoreDefaults();
        gWriteFd = -1;
    }
}

void TerminationSignals::drain() const noexcept {
    std::array<char, 16> bytes{};
    while (::read(readEnd_.get(), bytes.data(), bytes.size()) > 0) {
    }
}

void TerminationSignals::restoreDefaults() noexcept {
    for (const int signal : kSignals) {
        std::signal(signal, SIG_DFL);
    }
}

}  // namespace quorvel
