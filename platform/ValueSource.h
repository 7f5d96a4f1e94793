#pragma once

#include <cstdint>
#include <string_view>

namespace quorvel {

// Opaque handles as the performance-data service hands them out; 0 never names anything.
using QueryHandle = std::uint32_t;
using CounterHandle = std::uint32_t;
// A 32-bit status code of the service: 0 is success, the top bits give the severity.
using CounterStatus = std::uint32_t;

// Status codes a value source reports, with the service's own numbers.
namespace counter_status {
inline constexpr CounterStatus Valid = 0x00000000;
inline constexpr CounterStatus NoMachine = 0x800007D0;
inline constexpr CounterStatus NoInstance = 0x800007D1;
inline constexpr CounterStatus NoData = 0x800007D5;
inline constexpr CounterStatus NoObject = 0xC0000BB8;
inline constexpr CounterStatus NoCounter = 0xC0000BB9;
// A value that cannot be computed yet, such as a rate after a single collection.
inline constexpr CounterStatus InvalidData = 0xC0000BBA;
inline constexpr CounterStatus InvalidHandle = 0xC0000BBC;
inline constexpr CounterStatus BadCounterName = 0xC0000BC0;
}  // namespace counter_status

// The performance-data service: queries that hold counters named by path, sampled
// together on each collection. Out-parameters are written only on success, so a
// caller's variables keep what they held when a call fails. A source whose service
// cannot be reached at all throws RuntimeError(PlatformUnavailable).
class ValueSource {
public:
    virtual ~ValueSource() = default;

    virtual CounterStatus openQuery(QueryHandle& query) = 0;
    virtual CounterStatus addCounter(QueryHandle query, std::string_view path, CounterHandle& counter) = 0;
    // Takes one new sample of every counter in the query.
    virtual CounterStatus collect(QueryHandle query) = 0;
    // The counter's value as of the last collection of its query, with the status of that reading.
    virtual double readDouble(CounterHandle counter, CounterStatus& status) = 0;
    // Releases the query and every counter added to it.
    virtual CounterStatus closeQuery(QueryHandle query) = 0;

protected:
    ValueSource() = default;
    ValueSource(const ValueSource&) = default;
    ValueSource& operator=(const ValueSource&) = default;
};

}  // namespace quorvel
