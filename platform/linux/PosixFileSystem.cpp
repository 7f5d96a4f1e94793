#include "platform/linux/PosixFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <memory>

#include "common/RuntimeError.h"

namespace quorvel {
namespace {

// Owns one open file descriptor.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor(Descriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Descriptor& operator=(Descriptor&&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }

    [[nodiscard]] int get() const { return fd_; }
    [[nodiscard]] bool valid() const { return fd_ >= 0; }

    // Closes now; a write error that the file system reports late shows up here.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return fd >= 0 && ::close(fd) == 0;
    }

private:
    int fd_;
};

bool holdsNul(const std::string& path) {
    return path.find('\0') != std::string::npos;
}

int openRetrying(const std::string& path, int flags, mode_t mode = 0) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string_view baseName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool writeInPlace(const std::string& path, std::string_view bytes) {
    Descriptor fd(openRetrying(path, O_WRONLY | O_CREAT | O_TRUNC, 0666));
    if (!fd.valid()) {
        return false;
    }
    const bool written = writeAll(fd.get(), bytes);
    const bool closed = fd.close();
    return written && closed;
}

// The temporary file is hidden so that a directory search never lists it, and is
// created with the ordinary mode so that the umask applies to a new settings file.
Descriptor createTemporary(const std::string& target, std::string& name) {
    static std::atomic<unsigned> counter{0};
    std::string folder = folderOf(target);
    if (folder.back() != '/') {
        folder.push_back('/');
    }
    const std::string stem = folder + "." + std::string(baseName(target)) + "." + std::to_string(::getpid()) + ".";
    for (int attempt = 0; attempt < 32; ++attempt) {
        name = stem + std::to_string(++counter) + ".tmp";
        Descriptor fd(openRetrying(name, O_WRONLY | O_CREAT | O_EXCL, 0666));
        if (fd.valid() || errno != EEXIST) {
            return fd;
        }
    }
    return Descriptor(-1);
}

// Keeps owner, group and permission bits of the file being replaced.
bool copyOwnership(int fd, const struct stat& existing) {
    if ((existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) &&
        ::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
        return false;
    }
    return ::fchmod(fd, existing.st_mode & 07777) == 0;
}

void syncFolder(const std::string& target) {
    Descriptor folder(openRetrying(folderOf(target), O_RDONLY | O_DIRECTORY));
    if (folder.valid()) {
        ::fsync(folder.get());
    }
}

bool replaceThroughTemporary(const std::string& target, std::string_view bytes, const struct stat* existing) {
    std::string tempName;
    Descriptor fd = createTemporary(target, tempName);
    if (!fd.valid()) {
        // The folder takes no new file (or does not exist); the file itself may still be writable.
        return writeInPlace(target, bytes);
    }
    if (existing != nullptr && !copyOwnership(fd.get(), *existing)) {
        fd.close();
        ::unlink(tempName.c_str());
        return writeInPlace(target, bytes);
    }
    bool ok = writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    ok = fd.close() && ok;
    ok = ok && ::rename(tempName.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(tempName.c_str());
        return false;
    }
    syncFolder(target);
    return true;
}

}  // namespace

bool PosixFileSystem::isListedFile(const std::string& path) const {
    if (holdsNul(path)) {
        throw RuntimeError(ErrorKind::FileError, "bad file name: the path holds a NUL character");
    }
    if (path.empty()) {
        return false;
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENAMETOOLONG) {
            throw RuntimeError(ErrorKind::FileError, "bad file name: the path is too long");
        }
        return false;
    }
    return S_ISREG(info.st_mode) && !baseName(path).starts_with('.');
}

bool PosixFileSystem::canOpenForReading(const std::string& path) const {
    if (path.empty() || holdsNul(path)) {
        return false;
    }
    // Non-blocking, so that a named pipe without a writer does not hang the test.
    const Descriptor fd(openRetrying(path, O_RDONLY | O_NONBLOCK));
    if (!fd.valid()) {
        return false;
    }
    struct stat info {};
    return ::fstat(fd.get(), &info) == 0 && !S_ISDIR(info.st_mode);
}

FileContents PosixFileSystem::readFile(const std::string& path) const {
    FileContents result;
    if (path.empty() || holdsNul(path)) {
        return result;
    }
    const Descriptor fd(openRetrying(path, O_RDONLY));
    if (!fd.valid()) {
        return result;
    }
    // One byte more than the file's size, so that the end shows without growing the buffer.
    std::size_t capacity = std::size_t{64} * 1024;
    struct stat info {};
    if (::fstat(fd.get(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        capacity = static_cast<std::size_t>(info.st_size) + 1;
    }
    std::string& bytes = result.bytes;
    bytes.resize(capacity);
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size()) {
            bytes.resize(bytes.size() * 2);
        }
        const ssize_t n = ::read(fd.get(), bytes.data() + used, bytes.size() - used);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            bytes.resize(used);
            result.status = ReadStatus::ReadError;
            return result;
        }
        if (n == 0) {
            break;
        }
        used += static_cast<std::size_t>(n);
    }
    bytes.resize(used);
    result.status = ReadStatus::Complete;
    return result;
}

bool PosixFileSystem::writeFile(const std::string& path, std::string_view bytes) {
    if (path.empty() || holdsNul(path)) {
        return false;
    }
    std::string target = path;
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        // Replace the file that the link points to, and keep the link.
        const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
        if (!resolved) {
            return writeInPlace(path, bytes);
        }
        target = resolved.get();
    }
    struct stat existing {};
    if (::stat(target.c_str(), &existing) != 0) {
        return replaceThroughTemporary(target, bytes, nullptr);
    }
    if (S_ISDIR(existing.st_mode)) {
        return false;
    }
    // Devices and pipes cannot be replaced, and renaming would split a file with several links.
    if (!S_ISREG(existing.st_mode) || existing.st_nlink > 1) {
        return writeInPlace(target, bytes);
    }
    // The file itself must take writing; a writable folder alone does not allow a save.
    if (!Descriptor(openRetrying(target, O_WRONLY | O_NONBLOCK)).valid()) {
        return false;
    }
    return replaceThroughTemporary(target, bytes, &existing);
}

}  // namespace quorvel
