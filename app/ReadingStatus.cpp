#include "app/ReadingStatus.h"

namespace quorvel {
namespace {

// A reading that the service marks as new data is as good as a valid one.
constexpr CounterStatus kNewData = 0x00000001;

}  // namespace

std::optional<std::string> missingValueReason(CounterStatus status, bool otherMachine) {
    switch (status) {
    case counter_status::Valid:
    case kNewData: return std::nullopt;
    case counter_status::NoObject:
    case counter_status::NoCounter:
    case counter_status::NoInstance:
    case counter_status::BadCounterName: return "no such counter";
    case counter_status::NoMachine: return "no answer from host";
    case counter_status::NoData: return otherMachine ? "no answer from host" : "no value yet";
    case counter_status::InvalidData: return "no value yet";
    default: return "no value";
    }
}

}  // namespace quorvel
