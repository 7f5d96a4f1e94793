#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "counters/clsPdh.h"
#include "platform/linux/ProcValueSource.h"
#include "platform/linux/RoutingValueSource.h"
#include "platform/linux/snmp/SnmpValueSource.h"

namespace {

// A machine that never answers: a UDP port on loopback that is bound and never read.
class SilentPort {
public:
    SilentPort() {
        sockaddr_in in{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t length = sizeof in;
        if (::bind(fd_, reinterpret_cast<const sockaddr*>(&in), sizeof in) == 0 &&
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&in), &length) == 0) {
            machine_ = "127.0.0.1:" + std::to_string(ntohs(in.sin_port));
        }
    }
    ~SilentPort() { ::close(fd_); }
    SilentPort(const SilentPort&) = delete;
    SilentPort& operator=(const SilentPort&) = delete;
    [[nodiscard]] const std::string& machine() const { return machine_; }

private:
    int fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    std::string machine_;
};

// One monitoring tick of the program's two counters, through the router; with
// `deadMachines` more queries, each reading a machine that never answers.
void tick(benchmark::State& state) {
    const auto deadMachines = static_cast<int>(state.range(0));
    quorvel::ProcValueSource local;
    quorvel::SnmpValueSource remote;
    quorvel::RoutingValueSource source(local, remote, "this-host");
    std::vector<std::unique_ptr<SilentPort>> ports;
    std::vector<std::unique_ptr<quorvel::clsPdh>> queries;
    for (const char* path : {"\\RAS Total\\Bytes Transmitted/Sec", "\\RAS Total\\Bytes Received/Sec"}) {
        queries.push_back(std::make_unique<quorvel::clsPdh>(source));
        queries.back()->AddCounter(path);
    }
    for (int i = 0; i < deadMachines; ++i) {
        ports.push_back(std::make_unique<SilentPort>());
        queries.push_back(std::make_unique<quorvel::clsPdh>(source));
        queries.back()->AddCounter("\\\\" + ports.back()->machine() + "\\Network Interface(eth0)\\Bytes Sent/sec");
    }
    double sum = 0;
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
        for (auto& q : queries) {
            q->Collect();
        }
        for (auto& q : queries) {
            sum += q->GetValue();
        }
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(tick)->Arg(0)->Arg(1)->Name("BM_TickWithDeadMachines");

// Quitting: the remote source goes while `range(0)` machines have requests in flight
// that will never be answered.
void BM_QuitWithSilentMachines(benchmark::State& state) {
    std::vector<std::unique_ptr<SilentPort>> ports;
    ports.reserve(static_cast<std::size_t>(state.range(0)));
    for (int i = 0; i < state.range(0); ++i) {
        ports.push_back(std::make_unique<SilentPort>());
    }
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
        auto remote = std::make_unique<quorvel::SnmpValueSource>();
        quorvel::QueryHandle query = 0;
        remote->openQuery(query);
        for (const auto& port : ports) {
            quorvel::CounterHandle counter = 0;
            remote->addCounter(query, "\\\\" + port->machine() + "\\System\\Processes", counter);
        }
        remote->collect(query);
        // Long enough for every worker to have sent its request and be waiting.
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        const auto start = std::chrono::steady_clock::now();
        remote.reset();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}
BENCHMARK(BM_QuitWithSilentMachines)->Arg(1)->Arg(4)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
