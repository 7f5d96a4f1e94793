#pragma once

#include <string>
#include <utility>

#include "platform/Notices.h"

namespace quorvel {

// Each notice in a modal message box of its own, titled with the program's name: a
// program without a console has no other place that its user sees.
class WinNoticeBox final : public Notices {
public:
    explicit WinNoticeBox(std::string title) : title_(std::move(title)) {}
    void notice(const std::string& text) override;

private:
    std::string title_;
};

}  // namespace quorvel
