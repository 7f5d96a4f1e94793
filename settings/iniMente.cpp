#include "settings/iniMente.h"

#include <algorithm>
#include <clocale>
#include <exception>

#include "common/RuntimeError.h"
#include "common/Text.h"
#include "settings/IniLineGrammar.h"

namespace quorvel {

iniMente::iniMente(FileSystem& files) : files_(&files) {}

void iniMente::SetiniFilename(const std::string& FilenameofINI) {
    iniFilename_ = FilenameofINI;
}

const std::string& iniMente::GetiniFilename() const {
    return iniFilename_;
}

bool iniMente::iniLoader(const std::string& Filename) {
    iniFilename_ = Filename;
    if (!files_->isListedFile(Filename)) {
        return false;
    }
    return iniReader(Filename);
}

bool iniMente::iniReader(const std::string& Filename) {
    clearEntries();
    try {
        const FileContents contents = files_->readFile(Filename);
        if (contents.status == ReadStatus::CannotOpen) {
            return false;
        }
        const bool complete = contents.status == ReadStatus::Complete;
        const std::string_view bytes = contents.bytes;
        const auto lineCount = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\r')) + 1;
        entries_.reserve(lineCount);
        firstByName_.reserve(lineCount);
        for (std::size_t pos = 0; pos < bytes.size();) {
            const ini::LineSpan line = ini::nextLine(bytes, pos);
            if (!line.terminated && !complete) {
                break;  // the read failed inside this line
            }
            ini::ParsedLine parsed = ini::parseLine(line.text);
            appendEntry(std::move(parsed.name), std::move(parsed.value));
            if (parsed.status != ini::LineStatus::Ok) {
                return false;
            }
            pos = line.next;
        }
        if (!complete) {
            appendEntry(std::string(), TaggedValue());
            return false;
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::int32_t iniMente::lastIndex() const {
    return static_cast<std::int32_t>(entries_.size()) - 1;
}

const std::string& iniMente::itemName(std::size_t index) const {
    if (index >= entries_.size()) {
        throw RuntimeError(ErrorKind::IndexOutOfRange, "no entry " + std::to_string(index));
    }
    return entries_[index].name;
}

const TaggedValue& iniMente::itemValue(std::size_t index) const {
    if (index >= entries_.size()) {
        throw RuntimeError(ErrorKind::IndexOutOfRange, "no entry " + std::to_string(index));
    }
    return entries_[index].value;
}

void iniMente::clearEntries() {
    entries_.clear();
    firstByName_.clear();
    indexValid_ = false;
}

void iniMente::refreshIndex() {
    const char* current = std::setlocale(LC_CTYPE, nullptr);
    const std::string_view locale = current != nullptr ? current : "";
    if (indexValid_ && locale == indexLocale_) {
        return;
    }
    indexValid_ = false;
    firstByName_.clear();
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        firstByName_.try_emplace(text::toLower(entries_[i].name), i);
    }
    indexLocale_ = locale;
    indexValid_ = true;
}

std::size_t iniMente::findFirst(std::string_view name) {
    refreshIndex();
    const auto found = firstByName_.find(text::toLower(name));
    return found == firstByName_.end() ? kNotFound : found->second;
}

void iniMente::appendEntry(std::string name, TaggedValue value) {
    refreshIndex();
    const auto slot = firstByName_.try_emplace(text::toLower(name), entries_.size());
    try {
        entries_.push_back(Entry{std::move(name), std::move(value)});
    } catch (...) {
        if (slot.second) {
            firstByName_.erase(slot.first);
        }
        throw;
    }
}

}  // namespace quorvel
