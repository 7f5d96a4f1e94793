#pragma once

#include <string>

namespace quorvel {

// Where this user's programs keep their own settings files: a folder the user can write,
// unlike the folder of an installed executable.
class UserConfigFolder {
public:
    virtual ~UserConfigFolder() = default;
    // The folder as an absolute path; empty when the user has none.
    [[nodiscard]] virtual std::string userConfigFolder() const = 0;
};

}  // namespace quorvel
