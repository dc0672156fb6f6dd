#include "report/output/codec/deflate.h"

#include <zlib.h>

#include <limits>
#include <new>
#include <stdexcept>

namespace report::output {
namespace {

bool FitsZlib(std::size_t size) { return size <= std::numeric_limits<uInt>::max(); }

}  // namespace

std::vector<std::uint8_t> Deflate(std::span<const std::uint8_t> plain)
{
    if (!FitsZlib(plain.size()))
        throw std::length_error("too many bytes to deflate at once");
    z_stream z{};
    if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK)
        throw std::bad_alloc();
    std::vector<std::uint8_t> out(deflateBound(&z, static_cast<uLong>(plain.size())));
    // deflate only reads its input.
    z.next_in = const_cast<Bytef*>(plain.data());
    z.avail_in = static_cast<uInt>(plain.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&z, Z_FINISH);
    out.resize(out.size() - z.avail_out);
    deflateEnd(&z);
    // deflateBound leaves room for any input, so only memory can run out.
    if (status != Z_STREAM_END)
        throw std::bad_alloc();
    return out;
}

bool InflateExact(std::span<const std::uint8_t> coded, std::span<std::uint8_t> out)
{
    if (!FitsZlib(coded.size()) || !FitsZlib(out.size()))
        return false;
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return false;
    std::uint8_t none = 0;  // zlib wants somewhere to write even when nothing is expected
    z.next_in = const_cast<Bytef*>(coded.data());
    z.avail_in = static_cast<uInt>(coded.size());
    z.next_out = out.empty() ? &none : out.data();
    z.avail_out = static_cast<uInt>(out.size());
    // Z_FINISH: the whole stream must end within `out`; a longer one stops with Z_BUF_ERROR.
    const int status = inflate(&z, Z_FINISH);
    const bool exact = status == Z_STREAM_END && z.avail_in == 0 && z.avail_out == 0;
    inflateEnd(&z);
    return exact;
}

}  // namespace report::output
