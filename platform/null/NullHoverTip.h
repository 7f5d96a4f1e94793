#pragma once

#include "platform/HoverTip.h"

namespace quorvel {

// A read-out that never opens.
class NullHoverTip final : public HoverTip {
public:
    void setSource(ReadOutSource* /*source*/) override {}
    void sourceChanged() override {}
};

}  // namespace quorvel
