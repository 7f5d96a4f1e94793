#include <exception>

#include "settings/IniLineGrammar.h"
#include "settings/iniMente.h"

namespace quorvel {
namespace {

bool isText(const TaggedValue& value, std::string_view text) {
    return value.isText() && value.text() == text;
}

}  // namespace

void iniMente::appendLine(std::string& out, const Entry& entry) const {
    if (entry.name == ini::kRemarkName) {
        ini::appendValueText(out, entry.value);
    } else {
        ini::appendItemLine(out, entry.name, entry.value);
    }
    out += lineEnd_;
}

std::size_t iniMente::textSizeEstimate() const {
    std::size_t size = ini::kGeneralHeader.size() + lineEnd_.size();
    for (const Entry& entry : entries_) {
        size += entry.name.size() + 5 + (entry.value.isText() ? entry.value.text().size() : 16);
    }
    return size;
}

bool iniMente::iniSaver(const std::string& Filename) {
    iniFilename_ = Filename;
    // Writing back what was read would cut off everything after the line that stopped the load.
    if (incompleteLoad_ && incompleteLoad_->filename == Filename) {
        return false;
    }
    if (notFound_ && *notFound_ == Filename) {
        return false;
    }
    if (entries_.empty()) {
        return true;
    }
    // The whole text is built before the file is touched, so a value that has no text
    // form fails the save without harming the file.
    try {
        std::string out;
        out.reserve(textSizeEstimate());
        out += ini::kGeneralHeader;
        out += lineEnd_;
        for (const Entry& entry : entries_) {
            if (isText(entry.value, ini::kDeletedValue) || isText(entry.value, ini::kGeneralHeader)) {
                continue;
            }
            appendLine(out, entry);
        }
        return files_->writeFile(Filename, out);
    } catch (const std::exception&) {
        return false;
    }
}

bool iniMente::iniSaverSameFilename() {
    // A copy: iniSaver replaces the name it is handed.
    const std::string filename = iniFilename_;
    return iniSaver(filename);
}

std::string iniMente::iniSavertoVariable() const {
    std::string out;
    out.reserve(textSizeEstimate());
    for (const Entry& entry : entries_) {
        if (!isText(entry.value, ini::kDeletedValue)) {
            appendLine(out, entry);
        }
    }
    return out;
}

}  // namespace quorvel
