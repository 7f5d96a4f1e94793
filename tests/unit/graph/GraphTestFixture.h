#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "common/RuntimeError.h"
#include "graph/MinGraph.h"
#include "support/RecordingHost.h"
#include "support/RecordingSurface.h"

namespace quorvel::testing {

class GraphTest : public ::testing::Test {
protected:
    RecordingSurface surface;
    RecordingHost host;
    MinGraph graph{surface, host};
};

// The kind of the RuntimeError that `call` raises.
inline ErrorKind errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const RuntimeError& e) {
        return e.kind();
    }
    ADD_FAILURE() << "no RuntimeError raised";
    return ErrorKind::InvalidOperation;
}

}  // namespace quorvel::testing
