#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/FolderLookup.h"
#include "platform/ValueSource.h"
#include "tools/quorvel-info/InfoCommand.h"

namespace quorvel::info {

// What the commands take from the system they run on; one implementation per platform.

// Keeps the system from loading libraries out of the tool's own folder (nothing to do
// where the system never looks there). Called before anything else.
void RestrictLibrarySearch();

// Makes character counts and case-blind name matching follow the system's encoding.
void UseSystemTextEncoding();

// The counter source of the sample command (on Linux, proc and sys under the context's
// root for this machine, SNMP for others).
class CounterSource {
public:
    CounterSource() = default;
    CounterSource(const CounterSource&) = delete;
    CounterSource& operator=(const CounterSource&) = delete;
    virtual ~CounterSource() = default;

    [[nodiscard]] virtual ValueSource& values() = 0;
    // Waits until the other machine that a path names has answered once; what went wrong,
    // or nothing (also for a path of this machine).
    [[nodiscard]] virtual std::string awaitMachineOf(const std::string& path) = 0;
};

std::unique_ptr<CounterSource> OpenCounterSource(const InfoContext& context);

std::unique_ptr<FolderLookup> OpenFolderLookup();

// The places where the gadget (the one named in the arguments, else the one beside this
// tool) looks for its settings file, in order, and the first of them that exists (empty
// when none does).
struct SettingsSearch {
    std::vector<std::string> candidates;
    std::string found;
};
SettingsSearch SearchSettings(InfoArgs args);

}  // namespace quorvel::info
