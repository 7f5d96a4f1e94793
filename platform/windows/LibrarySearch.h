#pragma once

namespace quorvel::win {

// Narrows the folders that the system searches for a library named without a path, as the
// shell, the window manager and the performance-data library load theirs on the program's
// behalf, to the system folder. A program unpacked into a folder that others can write to
// (Downloads, say) would otherwise load a DLL planted there under a system library's name.
// Called first thing in each program, before anything loads a library. Where the system
// has no such setting, it at least takes the working folder out of the search.
void RestrictLibrarySearch();

}  // namespace quorvel::win
