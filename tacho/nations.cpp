// NationNumeric codes: the table of distinguishing signs and Polish country names.
#include "tacho/nations.h"

#include "utility/cp1250.h"
#include "utility/stringi.h"

#include <array>
#include <charconv>

namespace tacho {
namespace {

struct NationSign {
    const char* sign;
    const char* name;  // UTF-8 here, code page 1250 once loaded
};

// Codes 00..33 in order, then FD, FE and FF.
constexpr std::array<NationSign, 55> kNationSigns = {{
    {" ", "brak informacji"},
    {"A", "Austria"},
    {"AL", "Albania"},
    {"AND", "Andora"},
    {"ARM", "Armenia"},
    {"AZ", "Azerbejdżan"},
    {"B", "Belgia"},
    {"BG", "Bułgaria"},
    {"BIH", "Bośnia i Hercegowina"},
    {"BY", "Białoruś"},
    {"CH", "Szwajcaria"},
    {"CY", "Cypr"},
    {"CZ", "Republika Czeska"},
    {"D", "Niemcy"},
    {"DK", "Dania"},
    {"E", "Hiszpania"},
    {"EST", "Estonia"},
    {"F", "Francja"},
    {"FIN", "Finlandia"},
    {"FL", "Liechtenstein"},
    {"FR", "Wyspy Owcze"},
    {"UK", "Zjednoczone Królestwo"},
    {"GE", "Gruzja"},
    {"GR", "Grecja"},
    {"H", "Węgry"},
    {"HR", "Chorwacja"},
    {"I", "Włochy"},
    {"IRL", "Irlandia"},
    {"IS", "Islandia"},
    {"KZ", "Kazachstan"},
    {"L", "Luksemburg"},
    {"LT", "Litwa"},
    {"LV", "Łotwa"},
    {"M", "Malta"},
    {"MC", "Monako"},
    {"MD", "Republika Mołdowa"},
    {"MK", "Macedonia"},
    {"N", "Norwegia"},
    {"NL", "Niderlandy"},
    {"P", "Portugalia"},
    {"PL", "Polska"},
    {"RO", "Rumunia"},
    {"RSM", "San Marino"},
    {"RUS", "Federacja Rosyjska"},
    {"S", "Szwecja"},
    {"SK", "Słowacja"},
    {"SLO", "Słowenia"},
    {"TM", "Turkmenia"},
    {"TR", "Turcja"},
    {"UA", "Ukraina"},
    {"V", "Państwo Watykańskie"},
    {"YU", "Jugosławia"},
    {"EC", "Wspólnota Europejska"},
    {"EUR", "reszta Europy"},
    {"WLD", "reszta świata"},
}};
constexpr unsigned kLastListedCode = 0x33;
constexpr unsigned kFirstHighCode = 0xFD;

struct LoadedSign {
    std::string sign;
    std::string name;
};

const std::array<LoadedSign, kNationSigns.size()>& Signs()
{
    static const auto signs = [] {
        std::array<LoadedSign, kNationSigns.size()> loaded;
        for (std::size_t i = 0; i < kNationSigns.size(); ++i)
            loaded[i] = {kNationSigns[i].sign, utility::Pl(kNationSigns[i].name)};
        return loaded;
    }();
    return signs;
}

std::string NameOfCode(unsigned code)
{
    if (code <= kLastListedCode)
        return Signs()[code].name;
    if (code >= kFirstHighCode)
        return Signs()[kLastListedCode + 1 + (code - kFirstHighCode)].name;
    return "RFU";
}

}  // namespace

bool NationName(std::string_view hexText, std::string& sign, std::string& name)
{
    sign.clear();
    name.clear();
    const std::string digits = utility::RemoveSpaces(hexText).substr(0, 2);
    unsigned code = 0;
    const char* end = digits.data() + digits.size();
    const auto [ptr, error] = std::from_chars(digits.data(), end, code, 16);
    if (digits.empty() || error != std::errc() || ptr != end)
        return false;
    name = NameOfCode(code);
    for (const LoadedSign& s : Signs())
        if (s.name == name) {
            sign = s.sign;
            break;
        }
    return true;
}

void NationName(std::uint8_t code, std::string& sign, std::string& name)
{
    (void)NationName(utility::IntToHexText(code), sign, name);
}

}  // namespace tacho
