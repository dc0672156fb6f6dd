// Writes the glyph names of every Unicode value code page 1250 maps to, as C++ table rows,
// from AGLFN's aglfn.txt. Run through scripts/generate-glyph-names.sh.
#include "utility/cp1250.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>

namespace {

// Values AGLFN leaves out (it names U+0020 and U+002D only, and gives Tcommaaccent to U+021A).
const std::map<char32_t, std::string> kExtraNames = {
    {0x00A0, "space"}, {0x00AD, "hyphen"}, {0x0162, "Tcommaaccent"}, {0x0163, "tcommaaccent"}};

// Values that have no glyph of their own: C0 and C1 controls and DEL.
bool IsControl(char32_t u) { return u < 0x20 || (u >= 0x7F && u < 0xA0); }

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: generate <aglfn.txt>\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 2;
    }
    std::map<char32_t, std::string> aglfn;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string hex, name;
        if (std::getline(fields, hex, ';') && std::getline(fields, name, ';'))
            aglfn.emplace(static_cast<char32_t>(std::stoul(hex, nullptr, 16)), name);
    }
    std::set<char32_t> values;
    for (int code = 0; code < 256; ++code)
        values.insert(utility::Cp1250ToUnicode(static_cast<unsigned char>(code)));
    int failures = 0;
    for (char32_t u : values) {
        const auto found = aglfn.find(u);
        const auto extra = kExtraNames.find(u);
        std::string name;
        if (found != aglfn.end() && extra == kExtraNames.end())
            name = found->second;
        else if (found == aglfn.end() && extra != kExtraNames.end())
            name = extra->second;
        else if (found == aglfn.end() && IsControl(u))
            continue;
        else {
            std::cerr << "unexpected value U+" << std::hex << static_cast<unsigned>(u) << "\n";
            ++failures;
            continue;
        }
        std::printf("    {0x%04X, \"%s\"},\n", static_cast<unsigned>(u), name.c_str());
    }
    return failures == 0 ? 0 : 1;
}
