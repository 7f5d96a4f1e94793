#pragma once

#include "platform/MessageDialog.h"

namespace quorvel {

class QtMessageDialog final : public MessageDialog {
public:
    void inform(const std::string& title, const std::string& text) override;
};

}  // namespace quorvel
