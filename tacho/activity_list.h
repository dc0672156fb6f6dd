// The daily activity list of the printout: for every day of the activity ring a header,
// the five activity totals, the distance and one line per activity change.
#pragma once

#include "tacho/card_image.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tacho {

// Decodes the change words of one day: `changeTexts` gets the text of every whole word in
// order, `totalsSeconds` the whole seconds of activities 0..4 (from each change to the next,
// the last one running to 23:59:59; time before the first change is not counted; words out
// of order count 0; all five together never exceed 23:59:59). False when a word's time is
// 24:00 or later: the totals then hold what was reached before that word and `changeTexts`
// is emptied.
[[nodiscard]] bool DecodeActivityDay(std::span<const std::uint8_t> changeWords,
                                     std::array<std::int64_t, 5>& totalsSeconds, std::vector<std::string>& changeTexts);

// Walks the activity ring of `image` from the oldest day record to the newest, appending the
// keyed lines of every day to `lines` (code page 1250, unsorted) and refilling `dayValues`
// with "YYYYMMDD=counter" lines sorted by date. `firstDay` / `lastDay` become the dates of the
// oldest / newest day read and stay unchanged without any day record. Days that cannot be
// decoded and a damaged ring are reported together in one error box; the lines made stay.
void BuildDailyActivityList(const CardImageData& image, double& firstDay, double& lastDay,
                            std::vector<std::string>& lines, std::vector<std::string>& dayValues);

}  // namespace tacho
