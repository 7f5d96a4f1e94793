#pragma once

#include <string>

namespace quorvel {

class MessageDialog {
public:
    virtual ~MessageDialog() = default;
    // A modal box with an OK button and no icon; returns when it is closed.
    virtual void inform(const std::string& title, const std::string& text) = 0;
};

}  // namespace quorvel
