#include "platform/linux/ProcDirectory.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>

namespace quorvel {
namespace {

// The kernel's record layout for getdents64.
struct DirentHeader {
    std::uint64_t inode;
    std::int64_t offset;
    unsigned short length;
    unsigned char type;
};

bool allDigits(const char* name) {
    if (*name == '\0') {
        return false;
    }
    for (; *name != '\0'; ++name) {
        if (*name < '0' || *name > '9') {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<std::size_t> ProcDirectory::countProcesses() {
    if (!fd_.valid()) {
        fd_.reset(::openat(dirFd_, path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!fd_.valid()) {
            return std::nullopt;
        }
        buffer_.resize(32768);
    }
    if (::lseek(fd_.get(), 0, SEEK_SET) != 0) {
        return std::nullopt;
    }
    std::size_t count = 0;
    for (;;) {
        const long n = ::syscall(SYS_getdents64, fd_.get(), buffer_.data(), buffer_.size());
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        for (long pos = 0; pos < n;) {
            DirentHeader header{};
            std::memcpy(&header, buffer_.data() + pos, sizeof header);
            const char* name = buffer_.data() + pos + offsetof(struct dirent64, d_name);
            if ((header.type == DT_DIR || header.type == DT_UNKNOWN) && allDigits(name)) {
                ++count;
            }
            pos += header.length;
        }
    }
    return count;
}

}  // namespace quorvel
