#include "platform/linux/LocalHostName.h"

#include <unistd.h>

#include <array>

namespace quorvel {

std::string localHostName() {
    std::array<char, 256> name{};
    if (::gethostname(name.data(), name.size() - 1) != 0) {
        return {};
    }
    return name.data();
}

}  // namespace quorvel
