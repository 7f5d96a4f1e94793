#include "platform/linux/snmp/SnmpMachine.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

#include "platform/linux/snmp/SnmpObjects.h"

namespace quorvel::snmp {

namespace {
// Polls closer together than this share one request: the two queries of one tick.
constexpr std::int64_t kMinGapNs = 50'000'000;
}  // namespace

struct SnmpMachine::Shared {
    std::string peer;
    TransportFactory factory;
    Clock clock;

    mutable std::mutex mutex;
    std::condition_variable wake;      // the worker waits on it for work
    std::condition_variable answered;  // owners wait on it for news
    unsigned needs = 0;
    bool pollWanted = false;
    bool started = false;
    std::int64_t lastStartNs = 0;
    std::uint64_t requestsStarted = 0;
    std::uint64_t requestsEnded = 0;
    bool finished = false;
    StopSignal stop;
    std::shared_ptr<const MachineReading> latest = std::make_shared<MachineReading>();
};

namespace {

void publish(SnmpMachine::Shared& shared, std::shared_ptr<const MachineReading> reading) {
    {
        const std::lock_guard lock(shared.mutex);
        shared.latest = std::move(reading);
        ++shared.requestsEnded;
    }
    shared.answered.notify_all();
}

void serve(SnmpMachine::Shared& shared) {
    const std::unique_ptr<SnmpTransport> transport = shared.factory(shared.peer);
    AgentTables previous;
    bool havePrevious = false;
    std::int64_t previousTimeNs = 0;
    std::uint64_t epoch = 0;
    std::uint64_t sequence = 0;
    std::uint32_t expectedRows = 16;
    for (;;) {
        unsigned needs = 0;
        std::int64_t start = 0;
        {
            std::unique_lock lock(shared.mutex);
            shared.wake.wait(lock, [&] { return shared.stop.raised() || shared.pollWanted; });
            if (shared.stop.raised()) {
                break;
            }
            shared.pollWanted = false;
            needs = shared.needs;
            start = shared.clock();
            shared.started = true;
            shared.lastStartNs = start;
            ++shared.requestsStarted;
        }
        const RequestPlan plan = planFor(needs);
        const FetchResult result = transport->fetch(requestFor(plan, expectedRows), shared.stop);
        if (result.outcome == FetchOutcome::Stopped || shared.stop.raised()) {
            break;
        }
        const std::int64_t end = shared.clock();
        auto next = std::make_shared<MachineReading>();
        next->sequence = ++sequence;
        if (result.outcome != FetchOutcome::Answered) {
            next->state = result.outcome == FetchOutcome::BadHost ? MachineReading::State::BadHost
                                                                  : MachineReading::State::Silent;
            next->problem = result.problem;
            next->epoch = epoch;
            havePrevious = false;
            publish(shared, std::move(next));
            continue;
        }
        const std::int64_t at = start + (end - start) / 2;
        AgentTables tables = decodeAnswer(plan, result.answer, havePrevious ? &previous : nullptr, at - previousTimeNs);
        if (havePrevious && agentRestarted(previous, tables)) {
            tables = decodeAnswer(plan, result.answer, nullptr, 0);
            havePrevious = false;
        }
        if (!havePrevious) {
            ++epoch;
        }
        expectedRows = static_cast<std::uint32_t>(std::max(tables.interfaces.size(), tables.processorLoads.size()) + 2);
        previous = tables;
        havePrevious = true;
        previousTimeNs = at;
        next->state = MachineReading::State::Answering;
        next->epoch = epoch;
        next->timeNs = at;
        next->tables = std::move(tables);
        publish(shared, std::move(next));
    }
}

void work(const std::shared_ptr<SnmpMachine::Shared>& sharedPtr) {
    SnmpMachine::Shared& shared = *sharedPtr;
    serve(shared);  // the transport is gone when this returns
    {
        const std::lock_guard lock(shared.mutex);
        shared.finished = true;
    }
    shared.answered.notify_all();
}

}  // namespace

SnmpMachine::SnmpMachine(std::string peer, TransportFactory factory, Clock clock)
    : shared_(std::make_shared<Shared>()) {
    shared_->peer = std::move(peer);
    shared_->factory = std::move(factory);
    shared_->clock = std::move(clock);
    // The thread holds the shared state itself, so that it can outlive this object.
    thread_ = std::thread([shared = shared_] { work(shared); });
}

SnmpMachine::~SnmpMachine() {
    requestStop();
    if (!waited_) {
        waitStopped(std::chrono::steady_clock::now() + kJoinWait);
    }
    if (stopped_) {
        thread_.join();  // it has finished its work: this is at once
    } else {
        thread_.detach();
    }
}

void SnmpMachine::requestStop() {
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->stop.raise();
    }
    shared_->wake.notify_all();
}

void SnmpMachine::waitStopped(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(shared_->mutex);
    stopped_ = shared_->answered.wait_until(lock, deadline, [this] { return shared_->finished; });
    waited_ = true;
}

void SnmpMachine::setNeeds(unsigned needs) {
    const std::lock_guard lock(shared_->mutex);
    shared_->needs = needs;
}

void SnmpMachine::poll() {
    {
        const std::lock_guard lock(shared_->mutex);
        if (shared_->pollWanted || (shared_->started && shared_->clock() - shared_->lastStartNs < kMinGapNs)) {
            return;
        }
        shared_->pollWanted = true;
    }
    shared_->wake.notify_one();
}

std::shared_ptr<const MachineReading> SnmpMachine::latest() const {
    const std::lock_guard lock(shared_->mutex);
    return shared_->latest;
}

std::shared_ptr<const MachineReading> SnmpMachine::refresh(std::chrono::milliseconds timeout) {
    std::unique_lock lock(shared_->mutex);
    const std::uint64_t target = shared_->requestsStarted + 1;
    shared_->pollWanted = true;
    shared_->wake.notify_one();
    shared_->answered.wait_for(lock, timeout, [&] { return shared_->requestsEnded >= target || shared_->finished; });
    return shared_->latest;
}

}  // namespace quorvel::snmp
