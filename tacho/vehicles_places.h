// The vehicles and places blocks of the printout, and the keyed vehicle lines that sort in
// among the day lines.
#pragma once

#include "tacho/card_image.h"

#include <string>
#include <vector>

namespace tacho {

// Walks the vehicle records from the one after the newest, wrapping to record 0, for as many
// records as the card declares (at most 200), skipping records first used before 1980. For
// each record appends the " BA#" and " BB#" keyed lines to `keyedLines` and its block line to
// `vehicleLines`. Day counters come from `dayValues` ("YYYYMMDD=counter", as made by
// BuildDailyActivityList); a day missing there gives counter 0 for the first use and the
// first use's counter for the last use.
void BuildVehiclesList(const CardImageData& image, std::vector<std::string>& vehicleLines,
                       std::vector<std::string>& keyedLines, const std::vector<std::string>& dayValues);

// Walks the place records the same way (at most 112) and appends one line per record
// entered in 1980 or later.
void BuildPlacesList(const CardImageData& image, std::vector<std::string>& placeLines);

}  // namespace tacho
