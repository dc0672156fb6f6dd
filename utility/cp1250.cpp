// Code page 1250 <-> Unicode, with one table of our own (Qt 6 has no CP1250 codec).
#include "utility/cp1250.h"

#include <QChar>
#include <QList>

#include <array>
#include <unordered_map>

namespace utility {
namespace {

// Unicode code points of the bytes 0x80..0xFF. The five bytes that code page 1250 leaves
// undefined map to the C1 control of the same number, so every byte survives a round trip.
// clang-format off
constexpr std::array<char16_t, 128> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};
// clang-format on

const std::unordered_map<char32_t, unsigned char>& reverseTable()
{
    static const std::unordered_map<char32_t, unsigned char> table = [] {
        std::unordered_map<char32_t, unsigned char> t;
        for (std::size_t i = 0; i < kHigh.size(); ++i)
            t.emplace(kHigh[i], static_cast<unsigned char>(0x80 + i));
        return t;
    }();
    return table;
}

using CaseTable = std::array<unsigned char, 256>;

// The case table of the whole code page, built from Unicode's simple case mappings.
template <typename Map>
CaseTable BuildCaseTable(Map map)
{
    CaseTable table{};
    for (unsigned int b = 0; b < 256; ++b) {
        unsigned char mapped = static_cast<unsigned char>(b);
        const char32_t other = map(static_cast<char32_t>(Cp1250ToUnicode(static_cast<unsigned char>(b))));
        if (!UnicodeToCp1250(other, mapped))
            mapped = static_cast<unsigned char>(b);
        table[b] = mapped;
    }
    return table;
}

std::string MapBytes(std::string_view text, const CaseTable& table)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(table[static_cast<unsigned char>(c)]);
    return result;
}

}  // namespace

std::string Cp1250UpperCase(std::string_view text)
{
    static const CaseTable table = BuildCaseTable([](char32_t c) { return char32_t(QChar::toUpper(c)); });
    return MapBytes(text, table);
}

std::string Cp1250LowerCase(std::string_view text)
{
    static const CaseTable table = BuildCaseTable([](char32_t c) { return char32_t(QChar::toLower(c)); });
    return MapBytes(text, table);
}

char32_t Cp1250ToUnicode(unsigned char byte) { return byte < 0x80 ? char32_t(byte) : char32_t(kHigh[byte - 0x80]); }

bool UnicodeToCp1250(char32_t codePoint, unsigned char& byte)
{
    if (codePoint < 0x80) {
        byte = static_cast<unsigned char>(codePoint);
        return true;
    }
    const auto& table = reverseTable();
    const auto it = table.find(codePoint);
    if (it == table.end())
        return false;
    byte = it->second;
    return true;
}

QString Cp1250ToQString(std::string_view text)
{
    QString result;
    result.reserve(static_cast<qsizetype>(text.size()));
    for (char c : text)
        result.append(QChar(static_cast<char16_t>(Cp1250ToUnicode(static_cast<unsigned char>(c)))));
    return result;
}

std::string QStringToCp1250(const QString& text, char replacement)
{
    std::string result;
    result.reserve(static_cast<std::size_t>(text.size()));
    for (char32_t cp : text.toUcs4()) {
        unsigned char b = 0;
        result.push_back(UnicodeToCp1250(cp, b) ? static_cast<char>(b) : replacement);
    }
    return result;
}

std::string Cp1250ToUtf8(std::string_view text) { return Cp1250ToQString(text).toStdString(); }

std::string Utf8ToCp1250(std::string_view text, char replacement)
{
    return QStringToCp1250(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), replacement);
}

}  // namespace utility
