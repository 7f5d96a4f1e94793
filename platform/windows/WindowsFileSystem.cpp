#include "platform/windows/WindowsFileSystem.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <limits>

#include "common/RuntimeError.h"
#include "platform/windows/ScopedHandle.h"

namespace quorvel {
namespace {

bool holdsNul(const std::string& path) {
    return path.find('\0') != std::string::npos;
}

// Wildcards would make the search list other files than the one named.
bool holdsWildcard(const std::string& path) {
    return path.find_first_of("*?") != std::string::npos;
}

win::FileHandle openForReading(const std::string& path) {
    return win::FileHandle(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 30));
        DWORD written = 0;
        if (::WriteFile(file, bytes.data(), chunk, &written, nullptr) == FALSE || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

std::string folderOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/:");
    if (separator == std::string::npos) {
        return {};
    }
    // "C:name" lies in drive C's current folder; keep the colon.
    return path.substr(0, separator + 1);
}

// A new, empty file beside `target`. It is not hidden: should the program end before it
// is renamed over the target, the user sees it and can delete it.
win::FileHandle createTemporary(const std::string& target, std::string& name) {
    static std::atomic<unsigned> counter{0};
    const std::string stem = folderOf(target) + "~quorvel." + std::to_string(::GetCurrentProcessId()) + ".";
    for (int attempt = 0; attempt < 32; ++attempt) {
        name = stem + std::to_string(++counter) + ".tmp";
        win::FileHandle file(
            ::CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr));
        if (file.valid() || ::GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    return {};
}

bool writeInPlace(const std::string& path, std::string_view bytes) {
    const win::FileHandle file(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid() && writeAll(file.get(), bytes) && ::FlushFileBuffers(file.get()) != FALSE;
}

}  // namespace

bool WindowsFileSystem::isListedFile(const std::string& path) const {
    if (holdsNul(path)) {
        throw RuntimeError(ErrorKind::FileError, "bad file name: the path holds a NUL character");
    }
    if (path.empty() || holdsWildcard(path)) {
        return false;
    }
    WIN32_FIND_DATAA found{};
    const win::FindHandle search(::FindFirstFileA(path.c_str(), &found));
    if (!search.valid()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILENAME_EXCED_RANGE || error == ERROR_INVALID_NAME || error == ERROR_BAD_PATHNAME) {
            throw RuntimeError(ErrorKind::FileError, "bad file name: \"" + path + "\"");
        }
        return false;
    }
    constexpr DWORD unlisted = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (found.dwFileAttributes & unlisted) == 0;
}

bool WindowsFileSystem::canOpenForReading(const std::string& path) const {
    if (path.empty() || holdsNul(path)) {
        return false;
    }
    // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open.
    return openForReading(path).valid();
}

FileContents WindowsFileSystem::readFile(const std::string& path) const {
    FileContents result;
    if (path.empty() || holdsNul(path)) {
        return result;
    }
    const win::FileHandle file = openForReading(path);
    if (!file.valid()) {
        return result;
    }
    std::string& bytes = result.bytes;
    LARGE_INTEGER size{};
    if (::GetFileSizeEx(file.get(), &size) != FALSE && size.QuadPart > 0 &&
        static_cast<unsigned long long>(size.QuadPart) < std::numeric_limits<std::size_t>::max() / 2) {
        bytes.reserve(static_cast<std::size_t>(size.QuadPart) + 1);
    }
    std::array<char, std::size_t{64} * 1024> chunk{};
    for (;;) {
        DWORD read = 0;
        if (::ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &read, nullptr) == FALSE) {
            result.status = ReadStatus::ReadError;
            return result;
        }
        if (read == 0) {
            break;
        }
        bytes.append(chunk.data(), read);
    }
    result.status = ReadStatus::Complete;
    return result;
}

bool WindowsFileSystem::writeFile(const std::string& path, std::string_view bytes) {
    if (path.empty() || holdsNul(path) || holdsWildcard(path)) {
        return false;
    }
    const DWORD existing = ::GetFileAttributesA(path.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES) {
        if ((existing & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            return false;
        }
        // A read-only file refuses the save, as it would refuse writing in place.
        if ((existing & FILE_ATTRIBUTE_READONLY) != 0) {
            return false;
        }
    }
    std::string tempName;
    win::FileHandle temp = createTemporary(path, tempName);
    if (!temp.valid()) {
        // The folder takes no new file (or does not exist); the file itself may still be writable.
        return existing != INVALID_FILE_ATTRIBUTES && writeInPlace(path, bytes);
    }
    bool ok = writeAll(temp.get(), bytes) && ::FlushFileBuffers(temp.get()) != FALSE;
    temp.reset();
    ok = ok && ::MoveFileExA(tempName.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        ::DeleteFileA(tempName.c_str());
        return false;
    }
    // The new file carries the old one's attributes (hidden, archive ...), or plain ones.
    ::SetFileAttributesA(path.c_str(), existing != INVALID_FILE_ATTRIBUTES ? existing : FILE_ATTRIBUTE_ARCHIVE);
    return true;
}

}  // namespace quorvel
