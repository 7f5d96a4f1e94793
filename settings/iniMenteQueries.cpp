#include <cstdint>
#include <limits>

#include "common/RuntimeError.h"
#include "common/Text.h"
#include "settings/IniLineGrammar.h"
#include "settings/iniMente.h"

namespace quorvel {
namespace {

constexpr std::int32_t kMaxCount16 = std::numeric_limits<std::int16_t>::max();

TaggedValue deletedMarker() {
    return TaggedValue(std::string(ini::kDeletedValue));
}

std::string runName(std::string_view group, std::int32_t n) {
    if (n > kMaxCount16) {
        throw RuntimeError(ErrorKind::Overflow, "the numbered run of \"" + std::string(group) + "\" goes past " +
                                                    std::to_string(kMaxCount16));
    }
    return std::string(group) + std::to_string(n);
}

bool searchMatches(const TaggedValue& stored, const TaggedValue& wanted, bool noCheckCase) {
    if (noCheckCase) {
        return text::equalsIgnoreCase(stored.toText(), wanted.toText());
    }
    return valuesMatch(stored, wanted);
}

}  // namespace

TaggedValue iniMente::GetiniValue(std::string_view ItemName, const TaggedValue& Default) {
    const std::size_t found = findFirst(ItemName);
    if (found != kNotFound) {
        return entries_[found].value;
    }
    appendEntry(std::string(ItemName), Default);
    return Default;
}

bool iniMente::SetiniValue(std::string_view ItemName, const TaggedValue& ItemValue) {
    if (ItemName != ini::kRemarkName) {
        const std::size_t found = findFirst(ItemName);
        if (found != kNotFound) {
            entries_[found].value = ItemValue;
            return true;
        }
    }
    appendEntry(std::string(ItemName), ItemValue);
    return true;
}

bool iniMente::DeliniValue(std::string_view ItemName) {
    return SetiniValue(ItemName, deletedMarker());
}

bool iniMente::DeliniGroup(std::string_view GroupName) {
    const TaggedValue deleted = deletedMarker();
    for (std::int32_t n = 0;; ++n) {
        const std::string name = runName(GroupName, n);
        if (GetiniValue(name).isEmptyResult()) {
            return true;
        }
        SetiniValue(name, deleted);
    }
}

std::int16_t iniMente::SearchinGroup(std::string_view GroupName, const TaggedValue& SearchItem, bool NoCheckCase) {
    for (std::int32_t n = 0;; ++n) {
        // Once looked up, the item exists, so its value is read only once.
        const TaggedValue value = GetiniValue(runName(GroupName, n));
        if (value.isEmptyResult()) {
            return -1;
        }
        if (searchMatches(value, SearchItem, NoCheckCase)) {
            return static_cast<std::int16_t>(n);
        }
    }
}

std::array<TaggedValue, 2> iniMente::GetiniGroup2(std::string_view GroupName) {
    if (!GroupName.empty()) {
        groupCursorName_ = GroupName;
        groupCursorIndex_ = 0;
    }
    const std::size_t prefixLength = text::charCount(groupCursorName_);
    for (auto i = static_cast<std::size_t>(groupCursorIndex_); i < entries_.size(); ++i) {
        const Entry& entry = entries_[i];
        const std::string_view name(entry.name);
        if (!text::equalsIgnoreCase(name.substr(0, text::bytePrefixLength(name, prefixLength)), groupCursorName_)) {
            continue;
        }
        if (i >= static_cast<std::size_t>(kMaxCount16)) {
            throw RuntimeError(ErrorKind::Overflow,
                               "the group cursor cannot pass entry " + std::to_string(kMaxCount16));
        }
        groupCursorIndex_ = static_cast<std::int16_t>(i + 1);
        return {TaggedValue(entry.name), entry.value};
    }
    return {TaggedValue(std::string()), TaggedValue(std::string())};
}

TaggedValue iniMente::MakeiniItem(std::string_view ItemName, const TaggedValue& ItemValue) {
    if (GetiniValue(ItemName).isEmptyResult()) {
        SetiniValue(ItemName, ItemValue);
    }
    return TaggedValue();
}

}  // namespace quorvel
