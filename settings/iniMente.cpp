#include "settings/iniMente.h"

#include <algorithm>
#include <clocale>
#include <exception>
#include <type_traits>

#include "common/RuntimeError.h"
#include "common/Text.h"
#include "settings/IniLineGrammar.h"

namespace quorvel {

iniMente::iniMente(FileSystem& files) : files_(&files), lineEnd_(ini::kCrLf) {}

void iniMente::SetiniFilename(const std::string& FilenameofINI) {
    iniFilename_ = FilenameofINI;
}

const std::string& iniMente::GetiniFilename() const {
    return iniFilename_;
}

bool iniMente::iniLoader(const std::string& Filename) {
    iniFilename_ = Filename;
    if (!files_->isListedFile(Filename)) {
        // The store holds none of this file's lines (at most another file's, or defaults).
        // A hidden or system file is there all the same: saving would replace the user's
        // bytes. A name that names no file stays free to be created by a save.
        if (files_->canOpenForReading(Filename)) {
            notFound_ = Filename;
        } else {
            notFound_.reset();
        }
        return false;
    }
    notFound_.reset();
    return iniReader(Filename);
}

bool iniMente::iniReader(const std::string& Filename) {
    // Built before anything can fail, so that recording a stop cannot fail itself.
    IncompleteLoad stopped{Filename, 0, LoadStop::CannotOpen};
    bool whole = false;
    try {
        clearEntries();
        lineEnd_ = ini::kCrLf;
        const FileContents contents = files_->readFile(Filename);
        whole = contents.status != ReadStatus::CannotOpen && readEntries(contents, stopped);
    } catch (const std::exception&) {
        // Out of memory part-way: the line being read is the one after the last entry.
        stopped.line = entries_.size() + 1;
        stopped.stop = LoadStop::ReadError;
    }
    if (whole) {
        incompleteLoad_.reset();
    } else {
        incompleteLoad_ = std::move(stopped);
    }
    return whole;
}

bool iniMente::readEntries(const FileContents& contents, IncompleteLoad& stopped) {
    const bool complete = contents.status == ReadStatus::Complete;
    const std::string_view bytes = contents.bytes;
    lineEnd_ = ini::lineEndOf(bytes);
    const auto lineCount = static_cast<std::size_t>(std::max(std::count(bytes.begin(), bytes.end(), '\r'),
                                                             std::count(bytes.begin(), bytes.end(), '\n'))) +
                           1;
    entries_.reserve(lineCount);
    index_.reserve(lineCount);
    for (std::size_t pos = 0; pos < bytes.size();) {
        const ini::LineSpan line = ini::nextLine(bytes, pos);
        if (!line.terminated && !complete) {
            break;  // the read failed inside this line
        }
        ini::ParsedLine parsed = ini::parseLine(line.text);
        appendEntry(std::move(parsed.name), std::move(parsed.value));
        if (parsed.status != ini::LineStatus::Ok) {
            stopped.line = entries_.size();
            stopped.stop =
                parsed.status == ini::LineStatus::EqualsTooFar ? LoadStop::EqualsTooFar : LoadStop::ValueTooLong;
            return false;
        }
        pos = line.next;
    }
    if (!complete) {
        appendEntry(std::string(), TaggedValue());
        stopped.line = entries_.size();
        stopped.stop = LoadStop::ReadError;
        return false;
    }
    return true;
}

const std::optional<IncompleteLoad>& iniMente::incompleteLoad() const {
    return incompleteLoad_;
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

namespace {

std::string_view currentCharacterLocale() {
    const char* current = std::setlocale(LC_CTYPE, nullptr);
    return current != nullptr ? current : "";
}

// Whether `name` lower-cased is `lowered`, without building the lower-cased text when
// the name is plain ASCII.
bool lowersTo(std::string_view name, std::string_view lowered) {
    if (name.size() == lowered.size()) {
        std::size_t i = 0;
        for (; i < name.size(); ++i) {
            const char c = name[i];
            if (static_cast<unsigned char>(c) >= 0x80) {
                break;
            }
            if (((c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c) != lowered[i]) {
                return false;
            }
        }
        if (i == name.size()) {
            return true;
        }
    } else if (std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return false;
    }
    return text::toLower(name) == lowered;
}

}  // namespace

void iniMente::clearEntries() {
    indexValid_ = false;
    entries_.clear();
    index_.clear();
    indexLocale_ = currentCharacterLocale();
    indexValid_ = true;
}

void iniMente::refreshIndex() {
    const std::string_view locale = currentCharacterLocale();
    if (indexValid_ && locale == indexLocale_) {
        return;
    }
    indexValid_ = false;
    index_.clear();
    index_.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const std::string lowered = text::toLower(entries_[i].name);
        const std::uint64_t hash = NameIndex::hashOf(lowered);
        if (findLowered(lowered, hash) == kNotFound) {
            index_.insertAbsent(hash, i);
        }
    }
    indexLocale_ = locale;
    indexValid_ = true;
}

std::size_t iniMente::findLowered(std::string_view lowered, std::uint64_t hash) const {
    return index_.find(hash, [&](std::size_t i) { return lowersTo(entries_[i].name, lowered); });
}

std::size_t iniMente::findFirst(std::string_view name) {
    refreshIndex();
    const std::string lowered = text::toLower(name);
    return findLowered(lowered, NameIndex::hashOf(lowered));
}

void iniMente::appendEntry(std::string name, TaggedValue value) {
    static_assert(std::is_nothrow_move_constructible_v<Entry>);
    refreshIndex();
    // Room first: once the index holds the new entry, adding it to the array cannot fail.
    if (entries_.size() == entries_.capacity()) {
        entries_.reserve(std::max<std::size_t>(16, entries_.size() * 2));
    }
    const std::string lowered = text::toLower(name);
    const std::uint64_t hash = NameIndex::hashOf(lowered);
    if (findLowered(lowered, hash) == kNotFound) {
        index_.insertAbsent(hash, entries_.size());
    }
    entries_.push_back(Entry{std::move(name), std::move(value)});
}

}  // namespace quorvel
