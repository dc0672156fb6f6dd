#include "smartcard/multistring.h"

namespace smartcard {
namespace {

// The part of a list that counts: up to and including its double NUL.
std::string_view Significant(std::string_view raw)
{
    const auto end = raw.find(std::string_view("\0\0", 2));
    return end == std::string_view::npos ? raw : raw.substr(0, end + 2);
}

}  // namespace

int MultiStringToStrings(std::string_view raw, std::vector<std::string>& list)
{
    list.clear();
    std::size_t pos = 0;
    while (pos < raw.size()) {
        auto end = raw.find('\0', pos);
        if (end == std::string_view::npos)
            end = raw.size();
        if (end == pos)
            break;
        list.emplace_back(raw.substr(pos, end - pos));
        pos = end + 1;
    }
    return static_cast<int>(list.size());
}

std::string StringsToMultiString(const std::vector<std::string>& list)
{
    std::string raw;
    for (const std::string& name : list) {
        raw += name;
        raw += '\0';
    }
    raw += '\0';
    return raw;
}

bool MultiStringsDiffer(const std::optional<std::string>& a, const std::optional<std::string>& b)
{
    if (!a || !b)
        return true;
    return Significant(*a) != Significant(*b);
}

}  // namespace smartcard
