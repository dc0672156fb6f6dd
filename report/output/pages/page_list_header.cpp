// The report file's header in its four sizes. The size is decided by the record structure,
// once, when a file is loaded: a record numbered 1 whose links agree starts right after it.
#include "report/output/pages/page_list.h"
#include "report/output/pages/page_records.h"

#include <algorithm>
#include <cstring>

namespace report::output {
namespace {

constexpr std::int32_t kHeaderSizes[] = {128, 124, 120, 96};

bool FirstRecordStartsAt(TRpStream& stream, std::int64_t start, std::int64_t size)
{
    std::uint8_t head[8];
    std::uint8_t back[4];
    if (start + 12 > size || !ReadExactAt(stream, start, head, 8) || LittleEndianInt32(head) != 1)
        return false;
    const std::int64_t next = LittleEndianInt32(head + 4);
    return next >= start + 12 && next <= size && ReadExactAt(stream, next - 4, back, 4) &&
           LittleEndianInt32(back) == start;
}

}  // namespace

std::int32_t TRpPageList::DetectPageListHeaderSize(TRpStream& stream)
{
    std::lock_guard guard(stream.Lock());
    const std::int64_t position = stream.Position();
    const std::int64_t size = stream.Size();
    std::int32_t found = 0;
    for (std::int32_t headerSize : kHeaderSizes) {
        if (FirstRecordStartsAt(stream, headerSize, size)) {
            found = headerSize;
            break;
        }
    }
    // A document without pages is its header alone.
    if (found == 0 && size == kPageListHeaderSize)
        found = kPageListHeaderSize;
    stream.Seek(position, TRpStream::Origin::Beginning);
    return found;
}

void TRpPageList::ConvertPageListHeader124(std::array<std::uint8_t, kPageListHeaderSize>& header)
{
    std::array<std::uint8_t, kPageListHeaderSize> converted{};
    std::copy_n(header.begin(), 12, converted.begin());           // words, byte 4, count at 8
    std::copy_n(header.begin() + 12, 8, converted.begin() + 16);  // time
    converted[24] = header[20];
    converted[25] = header[21];  // compressed
    std::copy_n(header.begin() + 22, 101, converted.begin() + 26);
    header = converted;
}

bool TRpPageList::ReadHeader(TRpStream& stream, TRpPageListHeader& header, std::string& error)
{
    std::lock_guard guard(stream.Lock());
    const std::int32_t size = DetectPageListHeaderSize(stream);
    std::array<std::uint8_t, kPageListHeaderSize> bytes{};
    if (size == 0 || !ReadExactAt(stream, 0, bytes.data(), size)) {
        error = kDamagedReportFile;
        return false;
    }
    TRpPageListHeader read;
    read.headerSize = size;
    if (size == 124)
        ConvertPageListHeader124(bytes);
    if (size == 128 || size == 124) {
        read.pageCount = LittleEndianInt32(bytes.data() + 8);
        read.compressed = bytes[25] != 0;
        std::memcpy(&read.time, bytes.data() + 16, sizeof read.time);
    } else if (size == 120) {
        read.pageCount = LittleEndianInt32(bytes.data() + 5);
    } else {
        read.pageCount = -1;  // not kept in this header: the pages are counted
    }
    if (size != 96 && read.pageCount < 0) {
        error = kDamagedReportFile;
        return false;
    }
    header = read;
    error.clear();
    return true;
}

}  // namespace report::output
