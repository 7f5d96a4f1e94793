#pragma once

#include <gtest/gtest.h>

#include "common/RuntimeError.h"

namespace quorvel::test {

// The kind of the RuntimeError that `call` raises; a call that raises none fails the test.
template <class Call>
ErrorKind errorOf(Call&& call) {
    try {
        call();
    } catch (const RuntimeError& e) {
        return e.kind();
    }
    ADD_FAILURE() << "no RuntimeError raised";
    return ErrorKind::InvalidOperation;
}

}  // namespace quorvel::test
