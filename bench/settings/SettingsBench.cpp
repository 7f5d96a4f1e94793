#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/linux/PosixFileSystem.h"
#include "settings/iniMente.h"
#include "support/FakeFileSystem.h"

namespace {

using quorvel::iniMente;
using quorvel::TaggedValue;
using quorvel::test::FakeFileSystem;

// A store of `count` items, every tenth entry a remark, built once per size.
struct Sample {
    FakeFileSystem files;
    std::unique_ptr<iniMente> store;
    std::vector<std::string> names;  // existing names in a shuffled order
};

Sample& sample(std::int64_t count) {
    static std::map<std::int64_t, std::unique_ptr<Sample>> samples;
    auto& slot = samples[count];
    if (!slot) {
        slot = std::make_unique<Sample>();
        slot->store = std::make_unique<iniMente>(slot->files);
        std::vector<std::string> all;
        for (std::int64_t i = 0; i < count; ++i) {
            if (i % 10 == 9) {
                slot->store->SetiniValue("*REM*", "; remark " + std::to_string(i));
                continue;
            }
            all.push_back("Item" + std::to_string(i));
            slot->store->SetiniValue(all.back(), "value " + std::to_string(i));
        }
        std::mt19937 random(42);
        for (int i = 0; i < 4096; ++i) {
            slot->names.push_back(all[random() % all.size()]);
        }
    }
    return *slot;
}

void BM_GetiniValue(benchmark::State& state) {
    Sample& s = sample(state.range(0));
    std::size_t i = 0;
    for ([[maybe_unused]] auto _ : state) {
        benchmark::DoNotOptimize(s.store->GetiniValue(s.names[i++ & 4095]));
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_SetiniValue(benchmark::State& state) {
    Sample& s = sample(state.range(0));
    const TaggedValue value("changed");
    std::size_t i = 0;
    for ([[maybe_unused]] auto _ : state) {
        benchmark::DoNotOptimize(s.store->SetiniValue(s.names[i++ & 4095], value));
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_DeliniValue(benchmark::State& state) {
    Sample& s = sample(state.range(0));
    std::size_t i = 0;
    for ([[maybe_unused]] auto _ : state) {
        benchmark::DoNotOptimize(s.store->DeliniValue(s.names[i++ & 4095]));
    }
    state.SetItemsProcessed(state.iterations());
}

// The program's own pattern: the same dozen settings looked up again and again.
void BM_GetiniValueHot(benchmark::State& state) {
    Sample& s = sample(state.range(0));
    std::size_t i = 0;
    for ([[maybe_unused]] auto _ : state) {
        benchmark::DoNotOptimize(s.store->GetiniValue(s.names[i++ & 15]));
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_GetiniValue)->Arg(10)->Arg(10000)->Arg(1000000);
BENCHMARK(BM_GetiniValueHot)->Arg(10)->Arg(10000)->Arg(1000000);
BENCHMARK(BM_SetiniValue)->Arg(10)->Arg(10000)->Arg(1000000);
BENCHMARK(BM_DeliniValue)->Arg(10)->Arg(10000)->Arg(1000000);

// 100,000 lines in the program's style: remarks, blank lines and items.
std::string largeFile() {
    std::string file = "[General]\r\n";
    for (int i = 1; i < 100000; ++i) {
        if (i % 20 == 0) {
            file += "; section " + std::to_string(i) + "\r\n";
        } else if (i % 20 == 1) {
            file += "\r\n";
        } else {
            file += "Setting" + std::to_string(i) + " = " + std::to_string(i * 37) + "\r\n";
        }
    }
    return file;
}

void BM_LoadInMemory(benchmark::State& state) {
    FakeFileSystem files;
    files.addFile("/q.ini", largeFile());
    iniMente store(files);
    for ([[maybe_unused]] auto _ : state) {
        benchmark::DoNotOptimize(store.iniLoader("/q.ini"));
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}

void BM_SaveInMemory(benchmark::State& state) {
    FakeFileSystem files;
    files.addFile("/q.ini", largeFile());
    iniMente store(files);
    store.iniLoader("/q.ini");
    for ([[maybe_unused]] auto _ : state) {
        benchmark::DoNotOptimize(store.iniSaver("/out.ini"));
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}

// Through the real file system in a temporary folder; saving includes the flush to disk.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path_ = pattern;
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    [[nodiscard]] std::string file(const char* name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

void BM_LoadFromDisk(benchmark::State& state) {
    const TempFolder folder;
    quorvel::PosixFileSystem files;
    files.writeFile(folder.file("q.ini"), largeFile());
    iniMente store(files);
    for ([[maybe_unused]] auto _ : state) {
        benchmark::DoNotOptimize(store.iniLoader(folder.file("q.ini")));
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}

void BM_SaveToDisk(benchmark::State& state) {
    const TempFolder folder;
    quorvel::PosixFileSystem files;
    files.writeFile(folder.file("q.ini"), largeFile());
    iniMente store(files);
    store.iniLoader(folder.file("q.ini"));
    for ([[maybe_unused]] auto _ : state) {
        benchmark::DoNotOptimize(store.iniSaverSameFilename());
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}

BENCHMARK(BM_LoadInMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveInMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFromDisk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveToDisk)->Unit(benchmark::kMillisecond);

}  // namespace
