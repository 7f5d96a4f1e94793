#pragma once

#include <string>
#include <utility>
#include <vector>

#include "folders/clsSystemFolder.h"

namespace quorvel {

// Every property of the resolver as (name, path), in the order of its interface.
// Each path is read once, when the list is built.
std::vector<std::pair<std::string, std::string>> ListSystemFolders(const clsSystemFolder& folders);

}  // namespace quorvel
