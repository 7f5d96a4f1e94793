#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// The short name of a counter path `[\\machine]\Object[(Instance)]\Counter`, UTF-8:
// "Instance — Counter", "Object — Counter" without an instance, and " on machine" for a
// path that names a machine other than ".". A path of another form is its own name.
std::string shortCounterName(std::string_view path);

// True when the path names a machine other than "." (`\\host\...`).
bool namesOtherMachine(std::string_view path);

}  // namespace quorvel
