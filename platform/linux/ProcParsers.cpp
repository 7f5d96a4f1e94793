#include "platform/linux/ProcParsers.h"

#include <array>
#include <charconv>

namespace quorvel::proc {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// Walks the lines of a text; the last one needs no newline.
class Lines {
public:
    explicit Lines(std::string_view text) : rest_(text) {}
    bool next(std::string_view& line) {
        if (rest_.empty()) {
            return false;
        }
        const std::size_t end = rest_.find('\n');
        line = rest_.substr(0, end);
        rest_ = end == std::string_view::npos ? std::string_view{} : rest_.substr(end + 1);
        return true;
    }

private:
    std::string_view rest_;
};

// Walks the blank-separated words of a line.
class Words {
public:
    explicit Words(std::string_view line) : rest_(line) {}
    bool next(std::string_view& word) {
        std::size_t i = 0;
        while (i < rest_.size() && isBlank(rest_[i])) {
            ++i;
        }
        std::size_t j = i;
        while (j < rest_.size() && !isBlank(rest_[j])) {
            ++j;
        }
        word = rest_.substr(i, j - i);
        rest_.remove_prefix(j);
        return !word.empty();
    }

private:
    std::string_view rest_;
};

std::optional<std::uint64_t> toUnsigned(std::string_view word) {
    std::uint64_t value = 0;
    const auto [ptr, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec != std::errc{} || ptr != word.data() + word.size() || word.empty()) {
        return std::nullopt;
    }
    return value;
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

constexpr std::size_t kNoColumn = static_cast<std::size_t>(-1);

struct NetDevColumns {
    std::size_t rxBytes = kNoColumn;
    std::size_t rxPackets = kNoColumn;
    std::size_t rxErrors = kNoColumn;
    std::size_t txBytes = kNoColumn;
    std::size_t txPackets = kNoColumn;
    std::size_t txErrors = kNoColumn;
    std::size_t needed = 0;
};

// Reads " face |bytes packets errs ...|bytes packets errs ...". The second header line
// is the one whose receive section names the columns.
std::optional<NetDevColumns> netDevColumns(std::string_view line) {
    const std::size_t bar1 = line.find('|');
    if (bar1 == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t bar2 = line.find('|', bar1 + 1);
    if (bar2 == std::string_view::npos) {
        return std::nullopt;
    }
    NetDevColumns cols;
    std::size_t index = 0;
    const auto scan = [&index](std::string_view section, std::size_t& bytes, std::size_t& packets,
                               std::size_t& errors) {
        Words words(section);
        std::string_view word;
        while (words.next(word)) {
            if (word == "bytes") {
                bytes = index;
            } else if (word == "packets") {
                packets = index;
            } else if (word == "errs") {
                errors = index;
            }
            ++index;
        }
    };
    scan(line.substr(bar1 + 1, bar2 - bar1 - 1), cols.rxBytes, cols.rxPackets, cols.rxErrors);
    scan(line.substr(bar2 + 1), cols.txBytes, cols.txPackets, cols.txErrors);
    for (const std::size_t c :
         {cols.rxBytes, cols.rxPackets, cols.rxErrors, cols.txBytes, cols.txPackets, cols.txErrors}) {
        if (c == kNoColumn) {
            return std::nullopt;
        }
        cols.needed = std::max(cols.needed, c + 1);
    }
    return cols;
}

}  // namespace

bool parseNetDev(std::string_view text, ProcRows<NetDevRow>& rows) {
    rows.clear();
    Lines lines(text);
    std::string_view line;
    std::optional<NetDevColumns> cols;
    while (!cols && lines.next(line)) {
        cols = netDevColumns(line);
    }
    if (!cols) {
        return false;
    }
    constexpr std::size_t kMaxColumns = 32;
    std::array<std::uint64_t, kMaxColumns> values{};
    if (cols->needed > kMaxColumns) {
        return false;
    }
    while (lines.next(line)) {
        const std::size_t colon = line.rfind(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        const std::string_view name = trimBlanks(line.substr(0, colon));
        Words words(line.substr(colon + 1));
        std::string_view word;
        std::size_t count = 0;
        bool numeric = true;
        while (count < cols->needed && words.next(word)) {
            const auto value = toUnsigned(word);
            numeric = numeric && value.has_value();
            values[count++] = value.value_or(0);
        }
        if (name.empty() || !numeric || count < cols->needed) {
            continue;
        }
        NetDevRow& row = rows.append();
        row.name.assign(name);
        row.rxBytes = values[cols->rxBytes];
        row.rxPackets = values[cols->rxPackets];
        row.rxErrors = values[cols->rxErrors];
        row.txBytes = values[cols->txBytes];
        row.txPackets = values[cols->txPackets];
        row.txErrors = values[cols->txErrors];
    }
    return true;
}

void parseStat(std::string_view text, StatData& out) {
    out.total.reset();
    out.cpus.clear();
    out.contextSwitches.reset();
    out.runnable.reset();
    Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        Words words(line);
        std::string_view key;
        if (!words.next(key)) {
            continue;
        }
        if (key.starts_with("cpu")) {
            CpuTimes times;
            if (key.size() > 3) {
                const auto index = toUnsigned(key.substr(3));
                if (!index || *index > 65535) {
                    continue;
                }
                times.index = static_cast<int>(*index);
            }
            std::array<std::uint64_t*, 8> fields{&times.user,   &times.nice, &times.system,  &times.idle,
                                                 &times.iowait, &times.irq,  &times.softirq, &times.steal};
            std::size_t count = 0;
            std::string_view word;
            bool numeric = true;
            while (count < fields.size() && words.next(word)) {
                const auto value = toUnsigned(word);
                numeric = numeric && value.has_value();
                *fields[count++] = value.value_or(0);
            }
            // Kernels before 2.6 wrote only the first four fields.
            if (!numeric || count < 4) {
                continue;
            }
            if (times.index < 0) {
                out.total = times;
            } else {
                out.cpus.append() = times;
            }
        } else if (key == "ctxt" || key == "procs_running") {
            std::string_view word;
            const auto value = words.next(word) ? toUnsigned(word) : std::nullopt;
            (key == "ctxt" ? out.contextSwitches : out.runnable) = value;
        }
    }
}

void parseMeminfo(std::string_view text, MemInfo& out) {
    out = MemInfo{};
    Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        const std::string_view key = line.substr(0, colon);
        std::optional<std::uint64_t>* field = nullptr;
        if (key == "MemAvailable") {
            field = &out.available;
        } else if (key == "Cached") {
            field = &out.cached;
        } else if (key == "Buffers") {
            field = &out.buffers;
        } else if (key == "Committed_AS") {
            field = &out.committed;
        } else if (key == "CommitLimit") {
            field = &out.commitLimit;
        } else {
            continue;
        }
        Words words(line.substr(colon + 1));
        std::string_view number;
        std::string_view unit;
        if (!words.next(number)) {
            continue;
        }
        words.next(unit);
        const auto value = toUnsigned(number);
        if (!value) {
            continue;
        }
        const std::uint64_t scale = unit == "kB" ? 1024 : 1;
        *field = *value * scale;
    }
}

void parseDiskstats(std::string_view text, ProcRows<DiskRow>& rows) {
    rows.clear();
    Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        Words words(line);
        std::array<std::string_view, 10> w;
        std::size_t count = 0;
        while (count < w.size() && words.next(w[count])) {
            ++count;
        }
        if (count < w.size() || !toUnsigned(w[0]) || !toUnsigned(w[1])) {
            continue;
        }
        const auto read = toUnsigned(w[5]);
        const auto written = toUnsigned(w[9]);
        if (!read || !written) {
            continue;
        }
        DiskRow& row = rows.append();
        row.name.assign(w[2]);
        row.sectorsRead = *read;
        row.sectorsWritten = *written;
    }
}

std::optional<std::uint64_t> parseUptime(std::string_view text) {
    Words words(text);
    std::string_view word;
    if (!words.next(word)) {
        return std::nullopt;
    }
    const std::size_t dot = word.find('.');
    const auto whole = toUnsigned(word.substr(0, dot));
    if (!whole) {
        return std::nullopt;
    }
    std::uint64_t hundredths = 0;
    if (dot != std::string_view::npos) {
        std::string_view fraction = word.substr(dot + 1);
        if (fraction.empty() || !toUnsigned(fraction)) {
            return std::nullopt;
        }
        fraction = fraction.substr(0, 2);
        hundredths = *toUnsigned(fraction) * (fraction.size() == 1 ? 10 : 1);
    }
    return *whole * 100 + hundredths;
}

std::optional<std::int64_t> parseSysfsInteger(std::string_view text) {
    text = trimBlanks(text.substr(0, text.find('\n')));
    const bool negative = text.starts_with('-');
    if (negative) {
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    }
    std::int64_t value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || ec != std::errc{} || ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

}  // namespace quorvel::proc
