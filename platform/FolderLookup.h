#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace quorvel {

// The root key of the machine-wide registry branch, as a 32-bit handle value.
inline constexpr std::uint32_t HKEY_LOCAL_MACHINE = 0x80000002U;

// The shell's special-folder ids, under the names the platform's headers give them.
inline constexpr std::int32_t CSIDL_DESKTOP = 0;
inline constexpr std::int32_t CSIDL_PROGRAMS = 2;
inline constexpr std::int32_t CSIDL_PERSONAL = 5;
inline constexpr std::int32_t CSIDL_FAVORITES = 6;
inline constexpr std::int32_t CSIDL_STARTUP = 7;
inline constexpr std::int32_t CSIDL_RECENT = 8;
inline constexpr std::int32_t CSIDL_SENDTO = 9;
inline constexpr std::int32_t CSIDL_STARTMENU = 11;
inline constexpr std::int32_t CSIDL_FONTS = 20;

// The operating system's directory calls.
enum class DirectoryCall { Windows, System, Temp };

// Which view of the machine-wide registry a value is read from: the one of this program,
// or the one that 32-bit programs see (on a 64-bit system, a branch of its own).
enum class RegistryView { Program, Bits32 };

// Where the system keeps its special folders. Every lookup writes its answer as 8-bit
// text into the caller's buffer, followed by a NUL where there is room, and writes
// nothing at all when it has no answer. How the answer is read back (the NUL, the
// length limit) is the caller's business, so implementations write raw bytes only.
// A lookup whose service cannot be reached throws RuntimeError(PlatformUnavailable).
class FolderLookup {
public:
    virtual ~FolderLookup() = default;

    virtual void Directory(DirectoryCall which, std::span<char> buffer) = 0;
    virtual void ShellFolder(std::int32_t id, std::span<char> buffer) = 0;
    virtual void RegistryValue(std::uint32_t rootKey, const std::string& subkey, const std::string& valueName,
                               RegistryView view, std::span<char> buffer) = 0;
};

}  // namespace quorvel
