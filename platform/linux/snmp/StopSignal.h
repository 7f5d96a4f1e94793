#pragma once

#include <atomic>

namespace quorvel::snmp {

// Asks a worker to stop. A worker that waits on the network adds `fd()` to what it
// waits for, so that it sees the request at once rather than at its next timeout.
class StopSignal {
public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;
    StopSignal(StopSignal&&) = delete;
    StopSignal& operator=(StopSignal&&) = delete;

    void raise();
    [[nodiscard]] bool raised() const { return raised_.load(); }
    // Readable once raised; -1 when the system gave no descriptor (then only the flag tells).
    [[nodiscard]] int fd() const { return fd_; }

private:
    std::atomic<bool> raised_{false};
    int fd_;
};

}  // namespace quorvel::snmp
