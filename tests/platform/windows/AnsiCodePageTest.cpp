#include "platform/windows/SystemHeaders.h"

#include "platform/windows/AnsiCodePage.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "common/Text.h"

namespace quorvel::test {
namespace {

// Run with Wine's system code page set to 932 (Japanese), the code page the settings
// files of the program's users are written in. The text helpers themselves are tested in
// that code page with the common tests.
TEST(AnsiCodePage, TextHelpersDecodeInTheSystemCodePage) {
    ASSERT_EQ(::GetACP(), 932U);
    ASSERT_TRUE(UseAnsiCodePage());
    EXPECT_EQ(text::charCount("\x93\xfa\x96\x7b"), 2U);  // two ideographs
    std::setlocale(LC_CTYPE, "C");
}

}  // namespace
}  // namespace quorvel::test
