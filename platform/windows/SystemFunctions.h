#pragma once

// Every function of a system library that the platform layer reaches by name, in one
// table: its library, its exported name and its type. Nothing here is imported at link
// time, so a missing library or entry point shows only when something calls it.

#include <commctrl.h>
#include <pdh.h>
#include <shlobj.h>
#include <winver.h>
#include "platform/windows/SystemHeaders.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace quorvel::win {

enum class SystemLibrary : std::uint8_t { Kernel32, User32, Shell32, Advapi32, Version, Pdh, Comctl32 };

inline constexpr std::array<const char*, 7> kLibraryFiles{"kernel32.dll", "user32.dll", "shell32.dll", "advapi32.dll",
                                                          "version.dll",  "pdh.dll",    "comctl32.dll"};

enum class Fn : std::uint8_t {
    GetWindowsDirectoryA,
    GetSystemDirectoryA,
    GetTempPathA,
    SetDefaultDllDirectories,
    GetDesktopWindow,
    GetDpiForWindow,
    SHGetSpecialFolderLocation,
    SHGetPathFromIDListA,
    RegOpenKeyA,
    RegOpenKeyExA,
    RegQueryValueExA,
    RegCloseKey,
    GetFileVersionInfoSizeA,
    GetFileVersionInfoA,
    VerQueryValueA,
    PdhVbOpenQuery,
    PdhVbAddCounter,
    PdhCollectQueryData,
    PdhVbGetDoubleCounterValue,
    PdhCloseQuery,
    PdhOpenQueryA,
    PdhAddCounterA,
    PdhGetFormattedCounterValue,
    PdhAddEnglishCounterA,
    PdhEnumObjectsA,
    PdhEnumObjectItemsA,
    InitCommonControlsEx,
};

struct FunctionEntry {
    Fn fn;
    SystemLibrary library;
    const char* name;
};

inline constexpr std::array kFunctions{
    FunctionEntry{Fn::GetWindowsDirectoryA, SystemLibrary::Kernel32, "GetWindowsDirectoryA"},
    FunctionEntry{Fn::GetSystemDirectoryA, SystemLibrary::Kernel32, "GetSystemDirectoryA"},
    FunctionEntry{Fn::GetTempPathA, SystemLibrary::Kernel32, "GetTempPathA"},
    FunctionEntry{Fn::SetDefaultDllDirectories, SystemLibrary::Kernel32, "SetDefaultDllDirectories"},
    FunctionEntry{Fn::GetDesktopWindow, SystemLibrary::User32, "GetDesktopWindow"},
    FunctionEntry{Fn::GetDpiForWindow, SystemLibrary::User32, "GetDpiForWindow"},
    FunctionEntry{Fn::SHGetSpecialFolderLocation, SystemLibrary::Shell32, "SHGetSpecialFolderLocation"},
    FunctionEntry{Fn::SHGetPathFromIDListA, SystemLibrary::Shell32, "SHGetPathFromIDListA"},
    FunctionEntry{Fn::RegOpenKeyA, SystemLibrary::Advapi32, "RegOpenKeyA"},
    FunctionEntry{Fn::RegOpenKeyExA, SystemLibrary::Advapi32, "RegOpenKeyExA"},
    FunctionEntry{Fn::RegQueryValueExA, SystemLibrary::Advapi32, "RegQueryValueExA"},
    FunctionEntry{Fn::RegCloseKey, SystemLibrary::Advapi32, "RegCloseKey"},
    FunctionEntry{Fn::GetFileVersionInfoSizeA, SystemLibrary::Version, "GetFileVersionInfoSizeA"},
    FunctionEntry{Fn::GetFileVersionInfoA, SystemLibrary::Version, "GetFileVersionInfoA"},
    FunctionEntry{Fn::VerQueryValueA, SystemLibrary::Version, "VerQueryValueA"},
    FunctionEntry{Fn::PdhVbOpenQuery, SystemLibrary::Pdh, "PdhVbOpenQuery"},
    FunctionEntry{Fn::PdhVbAddCounter, SystemLibrary::Pdh, "PdhVbAddCounter"},
    FunctionEntry{Fn::PdhCollectQueryData, SystemLibrary::Pdh, "PdhCollectQueryData"},
    FunctionEntry{Fn::PdhVbGetDoubleCounterValue, SystemLibrary::Pdh, "PdhVbGetDoubleCounterValue"},
    FunctionEntry{Fn::PdhCloseQuery, SystemLibrary::Pdh, "PdhCloseQuery"},
    FunctionEntry{Fn::PdhOpenQueryA, SystemLibrary::Pdh, "PdhOpenQueryA"},
    FunctionEntry{Fn::PdhAddCounterA, SystemLibrary::Pdh, "PdhAddCounterA"},
    FunctionEntry{Fn::PdhGetFormattedCounterValue, SystemLibrary::Pdh, "PdhGetFormattedCounterValue"},
    FunctionEntry{Fn::PdhAddEnglishCounterA, SystemLibrary::Pdh, "PdhAddEnglishCounterA"},
    FunctionEntry{Fn::PdhEnumObjectsA, SystemLibrary::Pdh, "PdhEnumObjectsA"},
    FunctionEntry{Fn::PdhEnumObjectItemsA, SystemLibrary::Pdh, "PdhEnumObjectItemsA"},
    FunctionEntry{Fn::InitCommonControlsEx, SystemLibrary::Comctl32, "InitCommonControlsEx"},
};

inline constexpr std::size_t kFunctionCount = kFunctions.size();

constexpr bool tableInEnumOrder() {
    for (std::size_t i = 0; i < kFunctions.size(); ++i) {
        if (static_cast<std::size_t>(kFunctions[i].fn) != i) {
            return false;
        }
    }
    return true;
}
static_assert(tableInEnumOrder(), "kFunctions lists every Fn once, in the order of the enumeration");

// The type of each function. The Visual Basic entry points of the performance-data
// library are in no header.
template <Fn F>
struct Signature;

template <>
struct Signature<Fn::GetWindowsDirectoryA> {
    using type = decltype(&::GetWindowsDirectoryA);
};
template <>
struct Signature<Fn::GetSystemDirectoryA> {
    using type = decltype(&::GetSystemDirectoryA);
};
template <>
struct Signature<Fn::GetTempPathA> {
    using type = decltype(&::GetTempPathA);
};
// Windows 8 and later, and Windows 7 with update KB2533623.
template <>
struct Signature<Fn::SetDefaultDllDirectories> {
    using type = BOOL(WINAPI*)(DWORD directoryFlags);
};
template <>
struct Signature<Fn::GetDesktopWindow> {
    using type = decltype(&::GetDesktopWindow);
};
// Windows 10 (1607) and later only.
template <>
struct Signature<Fn::GetDpiForWindow> {
    using type = UINT(WINAPI*)(HWND window);
};
template <>
struct Signature<Fn::SHGetSpecialFolderLocation> {
    using type = decltype(&::SHGetSpecialFolderLocation);
};
template <>
struct Signature<Fn::SHGetPathFromIDListA> {
    using type = decltype(&::SHGetPathFromIDListA);
};
template <>
struct Signature<Fn::RegOpenKeyA> {
    using type = decltype(&::RegOpenKeyA);
};
template <>
struct Signature<Fn::RegOpenKeyExA> {
    using type = decltype(&::RegOpenKeyExA);
};
template <>
struct Signature<Fn::RegQueryValueExA> {
    using type = decltype(&::RegQueryValueExA);
};
template <>
struct Signature<Fn::RegCloseKey> {
    using type = decltype(&::RegCloseKey);
};
template <>
struct Signature<Fn::GetFileVersionInfoSizeA> {
    using type = decltype(&::GetFileVersionInfoSizeA);
};
template <>
struct Signature<Fn::GetFileVersionInfoA> {
    using type = decltype(&::GetFileVersionInfoA);
};
template <>
struct Signature<Fn::VerQueryValueA> {
    using type = decltype(&::VerQueryValueA);
};
template <>
struct Signature<Fn::PdhVbOpenQuery> {
    using type = PDH_STATUS(WINAPI*)(PDH_HQUERY* query);
};
template <>
struct Signature<Fn::PdhVbAddCounter> {
    using type = PDH_STATUS(WINAPI*)(PDH_HQUERY query, LPCSTR path, PDH_HCOUNTER* counter);
};
template <>
struct Signature<Fn::PdhCollectQueryData> {
    using type = decltype(&::PdhCollectQueryData);
};
template <>
struct Signature<Fn::PdhVbGetDoubleCounterValue> {
    using type = double(WINAPI*)(PDH_HCOUNTER counter, PDH_STATUS* status);
};
template <>
struct Signature<Fn::PdhCloseQuery> {
    using type = decltype(&::PdhCloseQuery);
};
template <>
struct Signature<Fn::PdhOpenQueryA> {
    using type = decltype(&::PdhOpenQueryA);
};
template <>
struct Signature<Fn::PdhAddCounterA> {
    using type = decltype(&::PdhAddCounterA);
};
template <>
struct Signature<Fn::PdhGetFormattedCounterValue> {
    using type = decltype(&::PdhGetFormattedCounterValue);
};
template <>
struct Signature<Fn::PdhAddEnglishCounterA> {
    using type = decltype(&::PdhAddEnglishCounterA);
};
template <>
struct Signature<Fn::PdhEnumObjectsA> {
    using type = decltype(&::PdhEnumObjectsA);
};
template <>
struct Signature<Fn::PdhEnumObjectItemsA> {
    using type = decltype(&::PdhEnumObjectItemsA);
};
// Registers the window classes of the common controls. Called through the table, not
// imported: the common controls bring libraries of their own, which would otherwise load
// with the program, before it has kept its own folder out of the search.
template <>
struct Signature<Fn::InitCommonControlsEx> {
    using type = decltype(&::InitCommonControlsEx);
};

}  // namespace quorvel::win
