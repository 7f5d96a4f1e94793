#pragma once

#include <string>

namespace quorvel {

// This machine's host name, or the empty text when it has none.
std::string localHostName();

}  // namespace quorvel
