#pragma once

#include <memory>

#include "platform/FolderLookup.h"
#include "platform/ValueSource.h"
#include "tools/quorvel-info/InfoCommand.h"

namespace quorvel::info {

// What the commands take from the system they run on; one implementation per platform.

// Makes character counts and case-blind name matching follow the system's encoding.
void UseSystemTextEncoding();

// The counter source (on Linux, reading proc and sys under the context's root).
std::unique_ptr<ValueSource> OpenCounterSource(const InfoContext& context);

std::unique_ptr<FolderLookup> OpenFolderLookup();

}  // namespace quorvel::info
