#pragma once

#include <cstddef>
#include <string>

namespace quorvel {

// Why a load stopped before the end of a file that it found.
enum class LoadStop {
    CannotOpen,    // the file could not be opened: nothing was read
    ReadError,     // reading failed part-way
    EqualsTooFar,  // the first "=" of a line stands after character 32767
    ValueTooLong,  // the text after the first "=" is longer than 32767 characters
};

// A settings file that was not read whole. The store keeps what it read, and never
// writes it back over this file, which would cut off everything after `line`.
struct IncompleteLoad {
    std::string filename;
    std::size_t line = 0;  // the line (from 1) that stopped the load; 0 when nothing was read
    LoadStop stop = LoadStop::CannotOpen;
};

}  // namespace quorvel
