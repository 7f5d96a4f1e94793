#pragma once

namespace quorvel {

// Makes the C run-time decode and lower-case text in the system's ANSI code page, the
// code page of every 8-bit system call, so that character counts and case-blind name
// matching agree with what the system hands over. Other categories stay as they are. Returns
// false when the run-time has no locale for that code page (UTF-8 before Windows 10,
// for one); text then stays in the "C" locale, byte by byte.
bool UseAnsiCodePage();

// Makes the C run-time read and write numbers in the user's format (the decimal separator
// of the user's regional settings, "," on a German system), as the program does on
// every platform. Other categories stay as they are.
void UseUserNumberFormat();

}  // namespace quorvel
