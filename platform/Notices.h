#pragma once

#include <ostream>
#include <string>

namespace quorvel {

// Where the program tells its user of a problem that does not stop it.
class Notices {
public:
    virtual ~Notices() = default;
    // One notice of a sentence or two, without a line end; returns when it was given.
    virtual void notice(const std::string& text) = 0;
};

// Notices as lines on a stream: standard error on Linux, where the terminal or the
// session's log of a desktop program shows them.
class StreamNotices final : public Notices {
public:
    explicit StreamNotices(std::ostream& out) : out_(out) {}
    void notice(const std::string& text) override { out_ << text << std::endl; }

private:
    std::ostream& out_;
};

}  // namespace quorvel
