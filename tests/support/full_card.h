// A driver card with every slot of its data in use: the largest printout a card gives.
#pragma once

#include "tacho/card_image.h"

namespace testsupport {

// Holder Jan Kowalski (PESEL 80010112345); the activity ring full of days of 26 to 34
// changes each (driver and co-driver slot, single and crew, the card taken out and put
// back), starting in the middle of the ring so that the days wrap round its end; 200
// vehicles and 112 places, every record in use.
tacho::CardImageData FullCardImage();

// The same holder, vehicles and places with a year in the activity ring: 365 days from
// 2020-01-01 of 12 changes each (13,140 of the 13,776 ring bytes), wrapping round the ring's end.
inline constexpr int kYearCardDays = 365;
inline constexpr int kYearCardChanges = 12;
tacho::CardImageData YearCardImage();

}  // namespace testsupport
