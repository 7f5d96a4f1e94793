#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "settings/iniMente.h"
#include "support/FakeFileSystem.h"

namespace quorvel::test {
namespace {

// The letters at both ends of A to Z, each in both cases, with and without a byte
// beyond ASCII (which takes the lower-casing through the locale's decoding).
TEST(IniNameCase, NamesWithAAndZMatchThemselvesInAnyCase) {
    const std::vector<std::vector<std::string>> spellings = {
        {"ZonA", "zona", "ZONA", "zONa"},
        {"Zon\xC3\xA9"
         "A",
         "zon\xC3\xA9"
         "a",
         "ZON\xC3\xA9"
         "A"},
    };
    for (const char* locale : {"C", "C.UTF-8"}) {
        if (std::setlocale(LC_ALL, locale) == nullptr) {
            continue;
        }
        for (const auto& names : spellings) {
            for (const std::string& stored : names) {
                FakeFileSystem files;
                std::string file = "; x\r\n";
                file.append(stored).append("=1\r\n").append(stored).append("0=2\r\n");
                files.addFile("/q.ini", file);
                iniMente store(files);
                ASSERT_TRUE(store.iniLoader("/q.ini"));
                for (const std::string& asked : names) {
                    EXPECT_EQ(store.GetiniValue(asked, "default"), TaggedValue("1"))
                        << locale << ": " << stored << " asked as " << asked;
                    EXPECT_EQ(store.SearchinGroup(asked, "2"), 0) << locale << ": " << asked;
                    EXPECT_EQ(store.GetiniGroup2(asked)[1], TaggedValue("1")) << locale << ": " << asked;
                }
                EXPECT_EQ(store.lastIndex(), 2) << "nothing appended for " << stored;
            }
        }
    }
    std::setlocale(LC_ALL, "C");
}

// The letters next to A and Z are not letters: "@" and "[" are not "`" and "{".
TEST(IniNameCase, NeighboursOfAAndZStayApart) {
    FakeFileSystem files;
    files.addFile("/q.ini", "@[=1\r\n");
    iniMente store(files);
    ASSERT_TRUE(store.iniLoader("/q.ini"));
    EXPECT_EQ(store.GetiniValue("`{", "d"), TaggedValue("d"));
    EXPECT_EQ(store.GetiniValue("@[", "d"), TaggedValue("1"));
}

}  // namespace
}  // namespace quorvel::test
