// Every count, offset and link read from a report file is checked before it is followed, so a
// damaged file ends the walk with an error instead of running on.
#include "report/output/pages/page_records.h"

#include "report/output/pages/page_compress.h"

#include <limits>

namespace report::output {
namespace {

constexpr std::int64_t kRecordOverhead = 12;  // number, next-record offset, back link

std::string Damaged() { return kDamagedReportFile; }

}  // namespace

bool ReadExactAt(TRpStream& stream, std::int64_t offset, void* buffer, std::int64_t count)
{
    std::lock_guard guard(stream.Lock());
    if (offset < 0 || stream.Seek(offset, TRpStream::Origin::Beginning) != offset)
        return false;
    auto* out = static_cast<char*>(buffer);
    while (count > 0) {
        const std::int64_t n = stream.Read(out, count);
        if (n <= 0)
            return false;
        out += n;
        count -= n;
    }
    return true;
}

std::int32_t LittleEndianInt32(const std::uint8_t* bytes)
{
    const std::uint32_t value = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
                                std::uint32_t{bytes[3]} << 24;
    return static_cast<std::int32_t>(value);
}

void PutLittleEndianInt32(std::uint8_t* bytes, std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool IndexPages(TRpStream& stream, const TRpPageListHeader& header, std::vector<std::int64_t>& offsets,
                std::string& error)
{
    std::lock_guard guard(stream.Lock());
    const std::int64_t size = stream.Size();
    const std::int64_t start = header.headerSize;
    if (size < start || size > std::numeric_limits<std::int32_t>::max())
        return (error = Damaged(), false);
    if (header.pageCount > (size - start) / kRecordOverhead)
        return (error = Damaged(), false);
    std::vector<std::int64_t> found{start};
    std::int64_t position = start;
    while (header.pageCount < 0 ? position < size : static_cast<std::int64_t>(found.size()) <= header.pageCount) {
        std::uint8_t head[8];
        std::uint8_t back[4];
        const auto number = static_cast<std::int64_t>(found.size());
        if (position + kRecordOverhead > size || !ReadExactAt(stream, position, head, 8))
            return (error = Damaged(), false);
        const std::int64_t next = LittleEndianInt32(head + 4);
        if (LittleEndianInt32(head) != number || next < position + kRecordOverhead || next > size ||
            !ReadExactAt(stream, next - 4, back, 4) || LittleEndianInt32(back) != position)
            return (error = Damaged(), false);
        position = next;
        found.push_back(position);
    }
    if (position != size)
        return (error = Damaged(), false);
    offsets = std::move(found);
    return true;
}

TRpPageBytes ReadPageRecord(TRpStream& stream, const std::vector<std::int64_t>& offsets, bool compressed,
                            std::int32_t n)
{
    TRpPageBytes page;
    if (n < 1 || static_cast<std::size_t>(n) >= offsets.size())
        return {{}, "No page " + std::to_string(n) + " in the report"};
    std::lock_guard guard(stream.Lock());
    const std::int64_t start = offsets[static_cast<std::size_t>(n) - 1];
    const std::int64_t end = offsets[static_cast<std::size_t>(n)];
    std::uint8_t head[8];
    std::uint8_t back[4];
    // The index was built from these links; a file changed since then no longer agrees.
    if (end - start < kRecordOverhead || !ReadExactAt(stream, start, head, 8) || LittleEndianInt32(head) != n ||
        LittleEndianInt32(head + 4) != end || !ReadExactAt(stream, end - 4, back, 4) ||
        LittleEndianInt32(back) != start)
        return {{}, Damaged()};
    const std::int64_t dataSize = end - start - kRecordOverhead;
    if (!compressed) {
        page.bytes.resize(static_cast<std::size_t>(dataSize));
        if (!ReadExactAt(stream, start + 8, page.bytes.data(), dataSize))
            return {{}, Damaged()};
        return page;
    }
    std::uint8_t count[4];
    if (dataSize < 4 || !ReadExactAt(stream, start + 8, count, 4))
        return {{}, Damaged()};
    const std::int64_t plainSize = LittleEndianInt32(count);
    const std::int64_t codedSize = dataSize - 4;
    // Every byte costs at least one bit of code.
    if (plainSize < 0 || plainSize > codedSize * 8)
        return {{}, Damaged()};
    page.bytes.resize(static_cast<std::size_t>(plainSize));
    TRpCompress decoder(stream, false, codedSize);
    for (char& c : page.bytes) {
        const auto byte = decoder.Decode();
        if (!byte)
            return {{}, Damaged()};
        c = static_cast<char>(*byte);
    }
    return page;
}

ReadPageResult ReadStoredPage(const TRpPageBytes& stored, std::int32_t n, const PictureBudget& budget)
{
    if (!stored.ok())
        return {std::nullopt, stored.error};
    const std::string& bytes = stored.bytes;
    // A metafile page carries " EMF" at byte 40 and no magic of ours.
    const auto major = [&] {
        return static_cast<unsigned>(static_cast<unsigned char>(bytes[4]) | static_cast<unsigned char>(bytes[5]) << 8);
    };
    const bool ours = bytes.size() >= 6 && bytes.compare(0, 4, "KVPG") == 0 && major() >= kPageOldestMajorVersion &&
                      major() <= kPageMajorVersion;
    if (!ours)
        return {std::nullopt, kForeignPages};
    ReadPageResult read = ReadPage(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), budget);
    if (!read.page)
        read.error = std::string(kDamagedReportFile) + " (page " + std::to_string(n) + ": " + read.error + ")";
    return read;
}

}  // namespace report::output
