#include "report/output/pdf/pdf_glyph_names.h"

#include "utility/cp1250.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace report::output {
namespace {

TEST(PdfGlyphNames, CodesOfCodePage1250)
{
    struct Row {
        int code;
        const char* name;
    };
    const Row rows[] = {
        {0x20, "space"},
        {'-', "hyphen"},
        {'A', "A"},
        {'0', "zero"},
        {0x80, "Euro"},
        {0x8C, "Sacute"},
        {0x9F, "zacute"},
        {0xA5, "Aogonek"},
        {0xA3, "Lslash"},
        {0xB3, "lslash"},
        {0xAF, "Zdotaccent"},
        {0xBF, "zdotaccent"},
        {0xC6, "Cacute"},
        {0xCA, "Eogonek"},
        {0xD1, "Nacute"},
        {0xD3, "Oacute"},
        {0xEA, "eogonek"},
        {0xFF, "dotaccent"},
        {0x99, "trademark"},
        // Values the glyph list leaves out, named after their look-alikes.
        {0xA0, "space"},
        {0xAD, "hyphen"},
        {0xDE, "Tcommaaccent"},
        {0xFE, "tcommaaccent"},
        // Controls, DEL and the five codes the code page leaves undefined have no glyph.
        {0x00, "space"},
        {0x09, "space"},
        {0x1F, "space"},
        {0x7F, "space"},
        {0x81, "space"},
        {0x83, "space"},
        {0x88, "space"},
        {0x90, "space"},
        {0x98, "space"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.code);
        EXPECT_EQ(Cp1250GlyphName(static_cast<unsigned char>(row.code)), row.name);
    }
    EXPECT_EQ(GlyphNameOf(0x0141), "Lslash");
    EXPECT_EQ(GlyphNameOf(0x021A), "");  // not a value of the code page
    EXPECT_EQ(GlyphNameOf(0x0081), "");
}

TEST(PdfGlyphNames, EveryPrintableCodeHasItsOwnGlyphName)
{
    for (int code = 0x20; code < 0x100; ++code) {
        const char32_t unicode = utility::Cp1250ToUnicode(static_cast<unsigned char>(code));
        const bool control = unicode == 0x7F || (unicode >= 0x80 && unicode < 0xA0);
        const std::string_view name = GlyphNameOf(unicode);
        SCOPED_TRACE(code);
        EXPECT_EQ(name.empty(), control);
        // A name token: no blank, delimiter or "#", nothing outside 33..126.
        EXPECT_EQ(name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_."),
                  std::string_view::npos);
    }
}

// The checked-in table against the list it was made from, where the list is installed
// (scripts/setup-tests.sh installs it for the tests; scripts/generate-glyph-names.sh rebuilds the table).
TEST(PdfGlyphNames, AgreeWithTheGlyphList)
{
    std::ifstream list("/usr/share/aglfn/aglfn.txt");
    ASSERT_TRUE(list) << "aglfn is not installed (scripts/setup-tests.sh)";
    std::map<char32_t, std::string> aglfn;
    for (std::string line; std::getline(list, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string hex, name;
        if (std::getline(fields, hex, ';') && std::getline(fields, name, ';'))
            aglfn.emplace(static_cast<char32_t>(std::stoul(hex, nullptr, 16)), name);
    }
    ASSERT_EQ(aglfn.size(), 586u);
    int listed = 0;
    for (int code = 0; code < 0x100; ++code) {
        const char32_t unicode = utility::Cp1250ToUnicode(static_cast<unsigned char>(code));
        const auto found = aglfn.find(unicode);
        if (found == aglfn.end())
            continue;
        SCOPED_TRACE(code);
        EXPECT_EQ(GlyphNameOf(unicode), found->second);
        ++listed;
    }
    // Every code from 0x20 except DEL, the five undefined ones and the four values above.
    EXPECT_EQ(listed, 224 - 1 - 5 - 4);
}

}  // namespace
}  // namespace report::output
