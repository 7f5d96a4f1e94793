#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "common/RuntimeError.h"
#include "platform/FileSystem.h"

namespace quorvel::test {

// An in-memory file system. A file's folder is the text before its last "/"; the root "/"
// and the current folder (a name without "/") always exist. A hidden file is one whose
// name begins with ".", as on Linux.
class FakeFileSystem final : public FileSystem {
public:
    struct File {
        std::string bytes;
        bool readable = true;
        std::optional<std::size_t> readFailsAfter;  // reading stops with an error after this many bytes
    };

    File& addFile(const std::string& path, std::string bytes = {}) {
        addFolder(folderOf(path));
        return files_[path] = File{std::move(bytes), true, {}};
    }

    void addFolder(std::string path) {
        for (; !folders_.contains(path); path = folderOf(path)) {
            folders_.insert(path);
        }
    }

    [[nodiscard]] bool hasFile(const std::string& path) const { return files_.contains(path); }
    [[nodiscard]] const std::string& contents(const std::string& path) const { return files_.at(path).bytes; }

    [[nodiscard]] bool isListedFile(const std::string& path) const override {
        if (path.find('\0') != std::string::npos) {
            throw RuntimeError(ErrorKind::FileError, "bad file name");
        }
        return files_.contains(path) && !path.substr(path.rfind('/') + 1).starts_with('.');
    }

    [[nodiscard]] bool canOpenForReading(const std::string& path) const override {
        return readFile(path).status != ReadStatus::CannotOpen;
    }

    [[nodiscard]] FileContents readFile(const std::string& path) const override {
        const auto found = files_.find(path);
        if (found == files_.end() || !found->second.readable) {
            return {};
        }
        const File& file = found->second;
        return {file.readFailsAfter ? ReadStatus::ReadError : ReadStatus::Complete,
                file.bytes.substr(0, file.readFailsAfter.value_or(std::string::npos))};
    }

    bool writeFile(const std::string& path, std::string_view bytes) override {
        if (folders_.contains(path) || !folders_.contains(folderOf(path))) {
            return false;
        }
        files_[path].bytes = bytes;
        return true;
    }

private:
    static std::string folderOf(const std::string& path) {
        const std::size_t slash = path.rfind('/');
        return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
    }

    std::map<std::string, File> files_;
    std::set<std::string> folders_{"", "/"};
};

}  // namespace quorvel::test
