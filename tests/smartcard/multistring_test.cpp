#include "smartcard/multistring.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace smartcard;

namespace {

std::string Raw(const char* text, std::size_t size) { return std::string(text, size); }

TEST(MultiString, Parse)
{
    struct Case {
        std::string raw;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {Raw("A\0B\0\0", 5), {"A", "B"}},
        {Raw("Virtual PCD 00 00\0Virtual PCD 00 01\0\0", 37), {"Virtual PCD 00 00", "Virtual PCD 00 01"}},
        {Raw("\0\0", 2), {}},
        {"", {}},
        // A listing that failed half way leaves no double NUL.
        {Raw("A\0B", 3), {"A", "B"}},
        {Raw("A\0", 2), {"A"}},
        {Raw("A\0\0B\0\0", 6), {"A"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> list = {"stale"};
        EXPECT_EQ(MultiStringToStrings(c.raw, list), static_cast<int>(c.names.size()));
        EXPECT_EQ(list, c.names);
    }
}

TEST(MultiString, BuildAndCompare)
{
    EXPECT_EQ(StringsToMultiString({"A", "BC"}), Raw("A\0BC\0\0", 6));
    EXPECT_EQ(StringsToMultiString({}), Raw("\0", 1));

    const std::optional<std::string> ab = Raw("A\0B\0\0", 5);
    EXPECT_TRUE(MultiStringsDiffer(std::nullopt, ab));
    EXPECT_TRUE(MultiStringsDiffer(ab, std::nullopt));
    EXPECT_FALSE(MultiStringsDiffer(ab, Raw("A\0B\0\0junk", 9)));
    EXPECT_TRUE(MultiStringsDiffer(ab, Raw("A\0C\0\0", 5)));
    EXPECT_TRUE(MultiStringsDiffer(ab, Raw("A\0B\0C\0\0", 7)));
    EXPECT_FALSE(MultiStringsDiffer(ab, ab));
}

}  // namespace
