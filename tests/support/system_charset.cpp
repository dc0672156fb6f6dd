#include "tests/support/system_charset.h"

#include <iconv.h>

#include <cstddef>

namespace testsupport {

bool SystemByteToUnicode(const char* charset, std::uint8_t byte, char32_t& codePoint)
{
    iconv_t cd = iconv_open("UTF-32LE", charset);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    char in[1] = {static_cast<char>(byte)};
    unsigned char out[8] = {};
    char* inPtr = in;
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1) && outLeft == 4;
    iconv_close(cd);
    codePoint = char32_t(out[0]) | char32_t(out[1]) << 8 | char32_t(out[2]) << 16 | char32_t(out[3]) << 24;
    return ok;
}

bool SystemKnowsCharset(const char* charset)
{
    const iconv_t cd = iconv_open("UTF-32LE", charset);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    iconv_close(cd);
    return true;
}

}  // namespace testsupport
