#include "platform/windows/SystemHeaders.h"

#include "platform/windows/AnsiCodePage.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "common/Text.h"

namespace quorvel::test {
namespace {

// Run with Wine's system code page set to 932 (Japanese), the code page the settings
// files of the program's users are written in.
TEST(AnsiCodePage, TextHelpersDecodeInTheSystemCodePage) {
    ASSERT_EQ(::GetACP(), 932U);
    ASSERT_TRUE(UseAnsiCodePage());
    EXPECT_EQ(text::charCount("\x93\xfa\x96\x7b"), 2U);                  // two ideographs
    EXPECT_EQ(text::toLower("\x83\x9f\x83\x41Z"), "\x83\xbf\x83\x41z");  // alpha lowered; katakana A kept
    EXPECT_TRUE(text::equalsIgnoreCase("\x83\x9fX", "\x83\xbfx"));
    EXPECT_FALSE(text::equalsIgnoreCase("\x83\x41", "\x83\x61"));  // second bytes are no letters
    std::setlocale(LC_CTYPE, "C");
}

}  // namespace
}  // namespace quorvel::test
