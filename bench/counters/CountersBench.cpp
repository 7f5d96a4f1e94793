#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <vector>

#include "AllocationCounter.h"
#include "counters/clsPdh.h"
#include "platform/linux/ProcValueSource.h"

namespace {

// The floor: one read of /proc/net/dev through a descriptor kept open.
void BM_FloorOnePreadOfNetDev(benchmark::State& state) {
    const int fd = ::open("/proc/net/dev", O_RDONLY | O_CLOEXEC);
    std::vector<char> buffer(65536);
    for (auto _ : state) {
        benchmark::DoNotOptimize(::pread(fd, buffer.data(), buffer.size(), 0));
    }
    ::close(fd);
}
BENCHMARK(BM_FloorOnePreadOfNetDev);

// What reading to the end costs: the read above, then one that finds nothing more.
void BM_PreadUntilEndOfNetDev(benchmark::State& state) {
    const int fd = ::open("/proc/net/dev", O_RDONLY | O_CLOEXEC);
    std::vector<char> buffer(65536);
    for (auto _ : state) {
        const ssize_t n = ::pread(fd, buffer.data(), buffer.size(), 0);
        benchmark::DoNotOptimize(::pread(fd, buffer.data() + n, buffer.size() - static_cast<std::size_t>(n), n));
    }
    ::close(fd);
}
BENCHMARK(BM_PreadUntilEndOfNetDev);

// For scale: what a reader that opens the file every time pays.
void BM_OpenReadCloseOfNetDev(benchmark::State& state) {
    std::vector<char> buffer(65536);
    for (auto _ : state) {
        const int fd = ::open("/proc/net/dev", O_RDONLY | O_CLOEXEC);
        benchmark::DoNotOptimize(::read(fd, buffer.data(), buffer.size()));
        ::close(fd);
    }
}
BENCHMARK(BM_OpenReadCloseOfNetDev);

// One monitoring tick: two queries, as the program owns them, collect and are read.
void BM_TickOfTheTwoDefaultCounters(benchmark::State& state) {
    quorvel::ProcValueSource source;
    quorvel::clsPdh sent(source);
    quorvel::clsPdh received(source);
    sent.AddCounter("\\RAS Total\\Bytes Transmitted/Sec");
    received.AddCounter("\\RAS Total\\Bytes Received/Sec");
    for (int i = 0; i < 3; ++i) {
        sent.Collect();
        received.Collect();
    }
    const long before = quorvel::bench::allocationCount();
    double sum = 0;
    for (auto _ : state) {
        sent.Collect();
        received.Collect();
        sum += sent.GetValue() + received.GetValue();
    }
    benchmark::DoNotOptimize(sum);
    state.counters["allocations"] = static_cast<double>(quorvel::bench::allocationCount() - before);
}
BENCHMARK(BM_TickOfTheTwoDefaultCounters);

// One query alone: a collection that cannot share its reading.
void BM_OneCollectAndRead(benchmark::State& state) {
    quorvel::ProcValueSource source;
    quorvel::clsPdh sent(source);
    sent.AddCounter("\\RAS Total\\Bytes Transmitted/Sec");
    sent.Collect();
    sent.Collect();
    const long before = quorvel::bench::allocationCount();
    double sum = 0;
    for (auto _ : state) {
        sent.Collect();
        sum += sent.GetValue();
    }
    benchmark::DoNotOptimize(sum);
    state.counters["allocations"] = static_cast<double>(quorvel::bench::allocationCount() - before);
}
BENCHMARK(BM_OneCollectAndRead);

}  // namespace
