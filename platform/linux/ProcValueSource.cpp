#include "platform/linux/ProcValueSource.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <charconv>
#include <ctime>
#include <limits>

#include "common/RuntimeError.h"
#include "common/Text.h"
#include "platform/linux/CounterPath.h"
#include "platform/linux/LocalHostName.h"
#include "platform/linux/ProcCounter.h"
#include "platform/linux/ProcSnapshot.h"

namespace quorvel {
namespace {

std::int64_t monotonicNow() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

int processorNumber(std::string_view name) {
    int number = -1;
    const auto [ptr, ec] = std::from_chars(name.data(), name.data() + name.size(), number);
    return (ec == std::errc{} && ptr == name.data() + name.size() && !name.empty()) ? number : -1;
}

bool totalAllowed(proc::ObjectId id) {
    return id == proc::ObjectId::NetworkInterface || id == proc::ObjectId::Processor ||
           id == proc::ObjectId::PhysicalDisk;
}

}  // namespace

ProcValueSource::ProcValueSource(const std::string& root, Clock clock)
    : root_(::open(root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)),
      clock_(clock ? std::move(clock) : Clock(monotonicNow)),
      hostName_(localHostName()) {
    if (!root_.valid()) {
        throw RuntimeError(ErrorKind::PlatformUnavailable, "cannot open the counter root directory " + root);
    }
    snapshot_ = std::make_unique<proc::ProcSnapshot>(root_.get());
}

ProcValueSource::~ProcValueSource() = default;

ProcValueSource::Query* ProcValueSource::queryFor(QueryHandle handle) {
    if (handle == 0 || handle > queries_.size() || !queries_[handle - 1].open) {
        return nullptr;
    }
    return &queries_[handle - 1];
}

proc::ProcCounter* ProcValueSource::counterFor(CounterHandle handle) {
    if (handle == 0 || handle > counters_.size() || !counters_[handle - 1]->open) {
        return nullptr;
    }
    return counters_[handle - 1].get();
}

CounterStatus ProcValueSource::openQuery(QueryHandle& query) {
    if (queries_.size() >= std::numeric_limits<QueryHandle>::max()) {
        return counter_status::InvalidHandle;
    }
    queries_.emplace_back().open = true;
    query = static_cast<QueryHandle>(queries_.size());
    return counter_status::Valid;
}

CounterStatus ProcValueSource::addCounter(QueryHandle query, std::string_view path, CounterHandle& counter) {
    Query* q = queryFor(query);
    if (q == nullptr || counters_.size() >= std::numeric_limits<CounterHandle>::max()) {
        return counter_status::InvalidHandle;
    }
    const auto parts = parseCounterPath(path);
    if (!parts) {
        return counter_status::BadCounterName;
    }
    if (!parts->machine.empty() && parts->machine != "." && !text::equalsIgnoreCase(parts->machine, hostName_)) {
        return counter_status::NoMachine;
    }
    const proc::ObjectDef* object = proc::findObject(parts->object);
    if (object == nullptr) {
        return counter_status::NoObject;
    }
    const proc::CounterDef* def = proc::findCounter(*object, parts->counter);
    if (def == nullptr) {
        return counter_status::NoCounter;
    }
    if (object->hasInstances != parts->hasInstance || (parts->hasInstance && parts->instance.empty())) {
        return counter_status::NoInstance;
    }
    auto added = std::make_unique<proc::ProcCounter>();
    added->query = query;
    added->object = object;
    added->def = def;
    added->instance.name = std::string(parts->instance);
    added->instance.total = totalAllowed(object->id) && text::equalsIgnoreCase(parts->instance, proc::kTotalInstance);
    added->instance.number = processorNumber(parts->instance);
    counters_.push_back(std::move(added));
    counter = static_cast<CounterHandle>(counters_.size());
    q->counters.push_back(counter);
    q->needs |= def->needs;
    return counter_status::Valid;
}

CounterStatus ProcValueSource::collect(QueryHandle query) {
    Query* q = queryFor(query);
    if (q == nullptr) {
        return counter_status::InvalidHandle;
    }
    snapshot_->refresh(q->needs, q->consumed, clock_());
    const std::int64_t now = snapshot_->timeNs();
    for (const CounterHandle handle : q->counters) {
        proc::ProcCounter& c = *counters_[handle - 1];
        const CounterStatus status = proc::sampleCounter(c.object->id, *c.def, c.instance, *snapshot_, c.current);
        if (status != counter_status::Valid) {
            c.reading = {0.0, status};
            c.hasPrevious = false;
            continue;
        }
        std::optional<std::span<const proc::KeyedSample>> before;
        if (c.hasPrevious) {
            before = c.previous.view();
        }
        const auto reading =
            proc::computeReading(c.def->kind, c.def->scale, before, c.current.view(), now - c.previousTimeNs);
        if (!reading) {
            continue;
        }
        c.reading = *reading;
        c.previous.swap(c.current);
        c.previousTimeNs = now;
        c.hasPrevious = true;
    }
    return counter_status::Valid;
}

double ProcValueSource::readDouble(CounterHandle counter, CounterStatus& status) {
    const proc::ProcCounter* c = counterFor(counter);
    if (c == nullptr) {
        status = counter_status::InvalidHandle;
        return 0.0;
    }
    status = c->reading.status;
    return c->reading.value;
}

CounterStatus ProcValueSource::closeQuery(QueryHandle query) {
    Query* q = queryFor(query);
    if (q == nullptr) {
        return counter_status::InvalidHandle;
    }
    for (const CounterHandle handle : q->counters) {
        // The handle stays taken, so that a stale one can never name a later counter.
        auto& slot = counters_[handle - 1];
        auto closed = std::make_unique<proc::ProcCounter>();
        closed->open = false;
        slot = std::move(closed);
    }
    *q = Query{};
    return counter_status::Valid;
}

std::vector<ProcValueSource::ObjectInfo> ProcValueSource::describe() {
    using namespace proc;
    std::uint64_t consumed = std::numeric_limits<std::uint64_t>::max();
    snapshot_->refresh(NeedNetDev | NeedStat | NeedDiskstats, consumed, clock_());
    std::vector<ObjectInfo> result;
    for (const ObjectDef& object : objects()) {
        ObjectInfo info;
        info.name = std::string(object.name);
        info.hasInstances = object.hasInstances;
        for (const CounterDef& def : object.counters) {
            info.counters.emplace_back(def.name);
        }
        if (totalAllowed(object.id)) {
            info.instances.emplace_back(kTotalInstance);
        }
        switch (object.id) {
        case ObjectId::RasPort:
        case ObjectId::NetworkInterface:
            for (const auto& link : snapshot_->links()) {
                if (object.id == ObjectId::NetworkInterface || link->remoteAccess) {
                    info.instances.push_back(link->name);
                }
            }
            break;
        case ObjectId::Processor:
            for (std::size_t i = 0; i < snapshot_->stat().cpus.size(); ++i) {
                info.instances.push_back(std::to_string(snapshot_->stat().cpus[i].index));
            }
            break;
        case ObjectId::PhysicalDisk:
            for (std::size_t i = 0; i < snapshot_->disks().size(); ++i) {
                const std::string& name = snapshot_->disks()[i].name;
                if (snapshot_->isPhysicalDisk(name)) {
                    info.instances.push_back(name);
                }
            }
            break;
        default: break;
        }
        result.push_back(std::move(info));
    }
    return result;
}

}  // namespace quorvel
