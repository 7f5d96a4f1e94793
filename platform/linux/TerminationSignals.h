#pragma once

#include "platform/linux/ProcFd.h"

namespace quorvel {

// SIGTERM and SIGHUP (logout, a service manager's stop, kill) as a request to close the
// program. The handler does no work of its own: it writes one byte into a pipe whose read
// end the event loop watches, and the close then runs there. A second signal, while that
// close is still running, ends the process at once. One instance per process.
class TerminationSignals {
public:
    TerminationSignals();
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // Readable when a signal came; -1 when the pipe could not be made (the signals then
    // keep their default action).
    [[nodiscard]] int fd() const noexcept { return readEnd_.get(); }
    // Reads what the handler wrote.
    void drain() const noexcept;
    // From now on either signal ends the process at once, as by default.
    static void restoreDefaults() noexcept;

private:
    ProcFd readEnd_;
    ProcFd writeEnd_;
};

}  // namespace quorvel
