#include "platform/linux/snmp/StopSignal.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace quorvel::snmp {

StopSignal::StopSignal() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

StopSignal::~StopSignal() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void StopSignal::raise() {
    raised_ = true;
    if (fd_ >= 0) {
        const std::uint64_t one = 1;
        (void)!::write(fd_, &one, sizeof one);
    }
}

}  // namespace quorvel::snmp
