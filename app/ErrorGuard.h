#pragma once

#include <exception>
#include <string>
#include <utility>

#include "app/Version.h"
#include "common/RuntimeError.h"
#include "platform/ErrorReport.h"

namespace quorvel {

// Every entry point that the toolkit calls (load step, timer tick, menu command, mouse
// handler) runs through here, so that no exception crosses the event loop: an error is
// shown by the standard error report, which ends the program. An error raised while the
// report is up only goes to standard error, and the handler returns.
template <class Handler>
void Guarded(ErrorReport& report, Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (const RuntimeError& error) {
        report.fatal(version::kProductName, error.report());
    } catch (const std::bad_alloc&) {
        report.fatal(version::kProductName, std::string(errorKindName(ErrorKind::OutOfMemory)));
    } catch (const std::exception& error) {
        report.fatal(version::kProductName, error.what());
    }
}

}  // namespace quorvel
