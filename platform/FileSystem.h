#pragma once

#include <string>
#include <string_view>

namespace quorvel {

enum class ReadStatus {
    Complete,    // every byte of the file was read
    CannotOpen,  // nothing was read: no such file, no permission, a malformed name ...
    ReadError,   // the file opened, but reading stopped part-way
};

struct FileContents {
    ReadStatus status = ReadStatus::CannotOpen;
    // With ReadError, the bytes that were read before the failure.
    std::string bytes;
};

// The file operations that the settings store and the start-up code need. Paths and
// contents are raw bytes, passed through unchanged.
class FileSystem {
public:
    FileSystem() = default;
    FileSystem(const FileSystem&) = delete;
    FileSystem& operator=(const FileSystem&) = delete;
    FileSystem(FileSystem&&) = delete;
    FileSystem& operator=(FileSystem&&) = delete;
    virtual ~FileSystem() = default;

    // Whether a directory search for `path` lists it as a plain file: folders, hidden
    // files and system files are not listed. A path that cannot be searched at all
    // (one holding a NUL byte, or longer than the system accepts) raises a
    // RuntimeError of kind FileError.
    [[nodiscard]] virtual bool isListedFile(const std::string& path) const = 0;

    // Whether the file at `path` can be opened for reading; a folder cannot. Never raises.
    [[nodiscard]] virtual bool canOpenForReading(const std::string& path) const = 0;

    // The whole file as bytes. Never raises for a file-system failure; the status tells.
    [[nodiscard]] virtual FileContents readFile(const std::string& path) const = 0;

    // Makes the file at `path` hold exactly `bytes`, creating it when it does not exist.
    // False on any failure (empty name, missing folder, no permission, a write error).
    virtual bool writeFile(const std::string& path, std::string_view bytes) = 0;
};

}  // namespace quorvel
