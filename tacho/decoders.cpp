// Decoders of the card's own encodings.
#include "tacho/decoders.h"

#include "tacho/card_image.h"
#include "utility/cp1250.h"
#include "utility/datetime.h"

#include <array>

namespace tacho {
namespace {

constexpr int kMinutesPerDay = 1'440;

template <std::size_t N>
std::array<std::string, N> PolishTexts(const std::array<const char*, N>& utf8)
{
    std::array<std::string, N> texts;
    for (std::size_t i = 0; i < N; ++i)
        texts[i] = utility::Pl(utf8[i]);
    return texts;
}

const std::string& Empty()
{
    static const std::string empty;
    return empty;
}

std::optional<double> ChangeWordTime(std::uint8_t first, std::uint8_t second)
{
    ActivityChangeItem item;
    std::string unused;
    DecodeActivityChange(first, second, false, item, unused);
    if (item.minutes >= kMinutesPerDay)
        return std::nullopt;
    return utility::EncodeTime(item.hours, item.minuteOfHour, 0);
}

}  // namespace

double TimeRealToDate(std::uint32_t seconds) { return seconds / 86'400.0 + Date1970() - Date1899(); }

double TimeRealToDate(std::span<const std::uint8_t> bytes) { return TimeRealToDate(ReadUint32BE(bytes)); }

std::optional<double> DatefToDate(std::array<std::uint8_t, 4> datef)
{
    int digits[8] = {};
    for (std::size_t i = 0; i < 4; ++i) {
        digits[2 * i] = datef[i] >> 4;
        digits[2 * i + 1] = datef[i] & 0x0F;
    }
    for (const int d : digits)
        if (d > 9)
            return std::nullopt;
    const int year = digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3];
    const int month = digits[4] * 10 + digits[5];
    const int day = digits[6] * 10 + digits[7];
    double date = 0;
    if (year < 1 || !utility::TryEncodeDate(year, month, day, date))
        return std::nullopt;
    return date;
}

const std::string& ActivityNames(unsigned code)
{
    static const auto names =
        PolishTexts<5>({"przerwa-odpoczynek", "dyspozycyjność", "praca", "prowadzenie", "czynność nieistotna"});
    return code < names.size() ? names[code] : Empty();
}

const std::string& EntryTypeName(unsigned code)
{
    static const auto names = PolishTexts<6>({
        "początek, godz. włoż. karty lub wprow. wpisu",
        "koniec, godz. wyj. karty lub wprow. wpisu",
        "początek, godz. wprow. ręcznie (godz. rozpoczecia)",
        "koniec, godz. wprow. ręcznie (koniec okresu pracy)",
        "początek, godz. przyjęta przez VU",
        "koniec, godz. przyjęta przez VU",
    });
    return code < names.size() ? names[code] : Empty();
}

namespace {

// The description of every combination of slot, driving status, card status and the word's
// activity (the top five bits of a change word), made once.
std::array<std::string, 32> MakeChangeDescriptions()
{
    static const auto words =
        PolishTexts<8>({"kierowcy", "współkierowcy", "jeden kierowca/", "załoga/", " przy czynności ",
                        ", czynność wprowadzona ręcznie/ ", "Karta włożona, w slocie ", "Karta wyjęta ze slotu "});
    std::array<std::string, 32> descriptions;
    for (unsigned bits = 0; bits < descriptions.size(); ++bits) {
        const unsigned slot = bits >> 4 & 1;
        const unsigned drivingStatus = bits >> 3 & 1;
        const unsigned cardStatus = bits >> 2 & 1;
        const unsigned wordActivity = bits & 3;
        const unsigned activity = (cardStatus == 1 && drivingStatus == 0) ? 4 : wordActivity;
        std::string description = words[slot];
        if (cardStatus == 0)
            description += "/ " + words[2 + drivingStatus];
        else if (drivingStatus == 0)
            description += words[4] + ActivityNames(wordActivity) + "/ ";
        else
            description += words[5];
        descriptions[bits] = words[6 + cardStatus] + description + ActivityNames(activity);
    }
    return descriptions;
}

}  // namespace

const std::string& ActivityChangeDescription(std::uint8_t first, std::uint8_t second)
{
    static const std::array<std::string, 32> descriptions = MakeChangeDescriptions();
    return descriptions[ReadWordBE(first, second) >> 11 & 0x1F];
}

void DecodeActivityChange(std::uint8_t first, std::uint8_t second, bool wantText, ActivityChangeItem& item,
                          std::string& text)
{
    const unsigned word = ReadWordBE(first, second);
    item = ActivityChangeItem{};
    item.slot = static_cast<std::uint8_t>(word >> 15 & 1);
    item.drivingStatus = static_cast<std::uint8_t>(word >> 14 & 1);
    item.cardStatus = static_cast<std::uint8_t>(word >> 13 & 1);
    const unsigned wordActivity = word >> 11 & 3;
    item.activity = static_cast<std::uint8_t>(wordActivity);
    item.minutes = static_cast<std::uint16_t>(word & 0x7FF);
    item.hours = static_cast<std::uint16_t>(item.minutes / 60);
    item.minuteOfHour = static_cast<std::uint16_t>(item.minutes % 60);
    if (item.cardStatus == 1 && item.drivingStatus == 0)
        item.activity = 4;
    if (!wantText)
        return;
    // Appended piece by piece: " " + a temporary string trips GCC 12's -Wrestrict (bug 105651).
    text.clear();
    text += ' ';
    text += utility::HMSToTextB(item.hours, item.minuteOfHour, item.seconds);
    text += ' ';
    text += ActivityChangeDescription(first, second);
}

std::optional<double> FirstChangeTime(std::span<const std::uint8_t> changeWords)
{
    if (changeWords.size() < 2)
        return 0.0;
    return ChangeWordTime(changeWords[0], changeWords[1]);
}

std::optional<double> LastChangeTime(std::span<const std::uint8_t> changeWords)
{
    // A day without change words has no last change: midnight, as for the first.
    if (changeWords.size() < 2)
        return 0.0;
    const std::size_t at = 2 * (changeWords.size() / 2 - 1);
    return ChangeWordTime(changeWords[at], changeWords[at + 1]);
}

}  // namespace tacho
