#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/linux/snmp/MachineReading.h"
#include "platform/linux/snmp/SnmpTransport.h"

namespace quorvel::snmp {

// One remote machine, polled by a worker thread of its own. The owner asks for a poll
// and takes the latest reading; neither waits on the network. Destruction stops the
// worker and joins it; one still caught in the network after a short wait (a name
// look-up cannot be cut short) is left to end on its own, holding nothing but its own
// state.
class SnmpMachine {
public:
    using TransportFactory = std::function<std::unique_ptr<SnmpTransport>(const std::string& peer)>;
    using Clock = std::function<std::int64_t()>;

    SnmpMachine(std::string peer, TransportFactory factory, Clock clock);
    ~SnmpMachine();

    SnmpMachine(const SnmpMachine&) = delete;
    SnmpMachine& operator=(const SnmpMachine&) = delete;
    SnmpMachine(SnmpMachine&&) = delete;
    SnmpMachine& operator=(SnmpMachine&&) = delete;

    // The object groups (Need bits) that the next requests ask for.
    void setNeeds(unsigned needs);
    // Asks the worker for a fresh answer. Polls that come close together make one request.
    void poll();
    [[nodiscard]] std::shared_ptr<const MachineReading> latest() const;
    // Asks for a fresh answer and waits for it, at most `timeout`: for tools, never the window.
    std::shared_ptr<const MachineReading> refresh(std::chrono::milliseconds timeout);

    // Tells the worker to stop, without waiting.
    void requestStop();
    // Waits until the worker stopped or `deadline` passed; destruction then waits no more.
    void waitStopped(std::chrono::steady_clock::time_point deadline);

    struct Shared;
    // How long destruction waits for the worker.
    static constexpr std::chrono::milliseconds kJoinWait{50};

private:
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
    bool waited_ = false;
    bool stopped_ = false;
};

}  // namespace quorvel::snmp
