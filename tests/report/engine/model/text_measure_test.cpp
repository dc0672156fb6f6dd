#include "report/engine/model/text_measure.h"

#include "utility/cp1250.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace report::engine {
namespace {

output::FontSpec Font(const char* face, int points, bool bold = false)
{
    return output::FontSpec{.face = face, .points = points, .bold = bold};
}

// A line measured word by word as the text controls grow it gives, at every word, the width
// of the whole line measured at once: the fractions of the advances are carried, not rounded
// away word by word.
TEST(GrownTextWidth, EveryWordGivesTheWidthOfTheWholeLine)
{
    const std::vector<std::vector<std::string>> lines = {
        {"i", "i", "i", "i", "i", "i", "i", "i", "i", "i", "i", "i"},
        {"2024-03-01 ", "08:15 ", "jazda ", "2 h ", "40 min"},
        {utility::Pl("Zażółć "), utility::Pl("gęślą "), utility::Pl("jaźń")},
        {"fi-", "fl-", "ff ", "Ta ", "To ", "Wo"},
    };
    TRpDeviceMeasurer grown;
    TRpDeviceMeasurer whole;
    for (const output::FontSpec& font : {Font("Arial", 7), Font("Arial", 10, true), Font("Times New Roman", 8)}) {
        for (const std::vector<std::string>& words : lines) {
            std::string line;
            TRpTextMeasurer::LineSum sum;
            for (const std::string& word : words) {
                line += word;
                EXPECT_EQ(grown.GrownTextWidth(font, line, sum), whole.TextWidth(font, line))
                    << font.face << " " << line;
                EXPECT_EQ(sum.length, line.size());
            }
        }
    }
}

// A kept measure that does not belong to the text (longer than it) is not trusted.
TEST(GrownTextWidth, AMeasureLongerThanTheTextIsStartedAgain)
{
    TRpDeviceMeasurer m;
    const output::FontSpec font = Font("Arial", 10);
    TRpTextMeasurer::LineSum sum;
    (void)m.GrownTextWidth(font, "Kierowca: Nowak Jan", sum);
    EXPECT_EQ(m.GrownTextWidth(font, "WWW", sum), m.TextWidth(font, "WWW"));
    EXPECT_EQ(sum.length, 3u);
}

// A measurer that only measures whole texts is asked for the whole text every time.
TEST(GrownTextWidth, AMeasurerOfWholeTextsMeasuresTheWholeLine)
{
    class Counting final : public TRpTextMeasurer {
    public:
        int TextWidth(const output::FontSpec&, std::string_view text) override
        {
            asked.emplace_back(text);
            return 3 * static_cast<int>(text.size());
        }
        int TextHeight(const output::FontSpec&) override { return 10; }
        std::vector<std::string> asked;
    } m;
    TRpTextMeasurer::LineSum sum;
    EXPECT_EQ(m.GrownTextWidth(Font("Arial", 10), "ab", sum), 6);
    EXPECT_EQ(m.GrownTextWidth(Font("Arial", 10), "ab cd", sum), 15);
    EXPECT_EQ(m.asked, (std::vector<std::string>{"ab", "ab cd"}));
}

}  // namespace
}  // namespace report::engine
