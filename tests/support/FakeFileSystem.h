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
        bool writable = true;
        // Reading stops with an error after this many bytes.
        std::optional<std::size_t> readFailsAfter;
    };

    File& addFile(const std::string& path, std::string bytes = {}) {
        addFolder(folderOf(path));
        File& file = files_[path];
        file = File();
        file.bytes = std::move(bytes);
        return file;
    }

    void addFolder(const std::string& path) {
        for (std::string folder = path; !folder.empty() && folder != "/"; folder = folderOf(folder)) {
            folders_.insert(folder);
        }
    }

    [[nodiscard]] bool hasFile(const std::string& path) const { return files_.contains(path); }
    [[nodiscard]] const std::string& contents(const std::string& path) const { return files_.at(path).bytes; }
    File& file(const std::string& path) { return files_.at(path); }
    [[nodiscard]] int writeAttempts() const { return writeAttempts_; }

    [[nodiscard]] bool isListedFile(const std::string& path) const override {
        if (path.find('\0') != std::string::npos) {
            throw RuntimeError(ErrorKind::FileError, "bad file name");
        }
        return files_.contains(path) && !baseName(path).starts_with('.');
    }

    [[nodiscard]] bool canOpenForReading(const std::string& path) const override {
        const auto found = files_.find(path);
        return found != files_.end() && found->second.readable;
    }

    [[nodiscard]] FileContents readFile(const std::string& path) const override {
        const auto found = files_.find(path);
        if (found == files_.end() || !found->second.readable) {
            return {};
        }
        const File& file = found->second;
        if (file.readFailsAfter) {
            return {ReadStatus::ReadError, file.bytes.substr(0, *file.readFailsAfter)};
        }
        return {ReadStatus::Complete, file.bytes};
    }

    bool writeFile(const std::string& path, std::string_view bytes) override {
        ++writeAttempts_;
        if (path.empty() || path.find('\0') != std::string::npos || folders_.contains(path) ||
            !folderExists(folderOf(path))) {
            return false;
        }
        const auto found = files_.find(path);
        if (found != files_.end() && !found->second.writable) {
            return false;
        }
        files_[path].bytes = bytes;
        return true;
    }

    static std::string folderOf(const std::string& path) {
        const std::size_t slash = path.rfind('/');
        if (slash == std::string::npos) {
            return {};
        }
        return slash == 0 ? std::string("/") : path.substr(0, slash);
    }

private:
    static std::string_view baseName(std::string_view path) {
        const std::size_t slash = path.rfind('/');
        return slash == std::string_view::npos ? path : path.substr(slash + 1);
    }

    [[nodiscard]] bool folderExists(const std::string& folder) const {
        return folder.empty() || folder == "/" || folders_.contains(folder);
    }

    std::map<std::string, File> files_;
    std::set<std::string> folders_;
    int writeAttempts_ = 0;
};

}  // namespace quorvel::test
