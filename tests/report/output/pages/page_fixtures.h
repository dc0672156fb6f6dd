// Pages and report files for the page list tests.
#pragma once

#include "report/output/pages/page_compress.h"
#include "report/output/pages/page_format.h"
#include "report/output/pages/page_list.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace report::output::testing {

inline void PutU16(std::string& bytes, std::size_t at, unsigned value)
{
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

inline void PutU32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline std::uint32_t GetU32(const std::string& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

inline std::string PageBytes(const PageRecorder& recorder)
{
    const std::vector<std::uint8_t> bytes = recorder.Bytes();
    return std::string(bytes.begin(), bytes.end());
}

// An A4 page of at least `size` bytes that differs for every `number`: lines of text, a frame
// and now and then a small picture, as the activity list draws them.
inline std::string MakePage(int number, std::size_t size = 200)
{
    PageRecorder recorder(PageHeaderFor(2100, 2970));
    recorder.SetPen(Pen{qRgb(0, 0, 0), PenStyle::Solid, 1});
    recorder.Rectangle(GdiRect(10, 10, 784, 1113));
    QImage picture(29, 16, QImage::Format_ARGB32);
    unsigned x = static_cast<unsigned>(number) * 2654435761u;
    // The size is looked at every 16 lines: encoding the page costs as much as drawing it.
    for (int line = 0; line % 16 != 0 || PageBytes(recorder).size() < size; ++line) {
        const std::string text = "Strona " + std::to_string(number) + ", wiersz " + std::to_string(line) +
                                 ": 2024-03-11 06:14 jazda 04:32 \xB9\xEA\x9C\xE6";
        recorder.TextOut(20, 20 + 14 * (line % 70), text);
        if (line % 10 == 9) {
            for (int py = 0; py < picture.height(); ++py)
                for (int px = 0; px < picture.width(); ++px) {
                    x = x * 1103515245u + 12345u;
                    picture.setPixel(px, py, 0xFF000000u | (x >> 8));
                }
            recorder.DrawPicture(GdiRect(700, 20 + line, 729, 36 + line), picture);
        }
    }
    return PageBytes(recorder);
}

// Where the first record with `tag` starts in a page (its tag's offset); the page's size when
// there is none.
inline std::size_t RecordOffset(const std::string& page, PageTag tag)
{
    std::size_t at = kPageHeaderSize;
    while (at + 6 <= page.size()) {
        const unsigned found = static_cast<unsigned char>(page[at]) | static_cast<unsigned char>(page[at + 1]) << 8;
        if (found == static_cast<unsigned>(tag))
            return at;
        at += 6 + GetU32(page, at + 2);
    }
    return page.size();
}

// The start of an enhanced metafile: record type 1 and its " EMF" signature at byte 40.
inline std::string MetafilePage()
{
    std::string page(108, '\0');
    PutU32(page, 0, 1);
    PutU32(page, 4, 108);
    std::memcpy(page.data() + 40, " EMF", 4);
    return page;
}

// A report file as the older writers laid it out: `header` (of any size), then the records.
inline std::string ReportFile(const std::string& header, const std::vector<std::string>& pages, bool compressed)
{
    std::string file = header;
    int number = 0;
    for (const std::string& page : pages) {
        const auto start = file.size();
        std::string data = page;
        if (compressed) {
            TRpStream code;
            {
                TRpCompress coder(code, true);
                for (char c : page)
                    coder.Encode(static_cast<std::uint8_t>(c));
                (void)coder.Finish();
            }
            data.assign(4, '\0');
            PutU32(data, 0, static_cast<std::uint32_t>(page.size()));
            (void)code.CopyTo([&](const char* bytes, std::int64_t n) {
                data.append(bytes, static_cast<std::size_t>(n));
                return true;
            });
        }
        file.resize(start + 8);
        PutU32(file, start, static_cast<std::uint32_t>(++number));
        file += data;
        file.resize(file.size() + 4);
        PutU32(file, start + 4, static_cast<std::uint32_t>(file.size()));
        PutU32(file, file.size() - 4, static_cast<std::uint32_t>(start));
    }
    return file;
}

// Builds pages field by field, for fixtures the recorder would never write.
class PageBuilder {
public:
    explicit PageBuilder(int pixelWidth = 100, int pixelHeight = 100, std::uint16_t major = 1)
    {
        Raw("KVPG");
        U16(major);
        U16(0);
        U16(36);
        U16(0);
        U32(0);
        I32(264);
        I32(264);
        U16(96);
        U16(96);
        I32(pixelWidth);
        I32(pixelHeight);
    }
    PageBuilder& Record(PageTag tag) { return Tag(static_cast<std::uint16_t>(tag)); }
    PageBuilder& Tag(std::uint16_t tag)
    {
        Close();
        U16(tag);
        U32(0);
        open_ = bytes_.size();
        return *this;
    }
    PageBuilder& U16(std::uint16_t v) { return Put(v, 2); }
    PageBuilder& U32(std::uint32_t v) { return Put(v, 4); }
    PageBuilder& I32(int v) { return Put(static_cast<std::uint32_t>(v), 4); }
    PageBuilder& Raw(std::string_view s)
    {
        for (const char ch : s)
            bytes_.push_back(static_cast<std::uint8_t>(ch));
        return *this;
    }
    PageBuilder& Raw(const std::vector<std::uint8_t>& b)
    {
        bytes_.insert(bytes_.end(), b.begin(), b.end());
        return *this;
    }
    // A picture record of the second version: its size, coding and bytes.
    PageBuilder& Stored(std::uint32_t width, std::uint32_t height, std::uint16_t coding,
                        const std::vector<std::uint8_t>& data)
    {
        return Record(PageTag::PictureData)
            .U32(width)
            .U32(height)
            .U16(coding)
            .U32(static_cast<std::uint32_t>(data.size()))
            .Raw(data);
    }
    PageBuilder& Use(int l, int t, int r, int b, std::uint32_t number)
    {
        return Record(PageTag::PictureUse).I32(l).I32(t).I32(r).I32(b).U32(number);
    }
    std::vector<std::uint8_t> Done()
    {
        Close();
        std::vector<std::uint8_t> b = bytes_;
        Patch(b, 12, static_cast<std::uint32_t>(b.size()));
        return b;
    }
    static void Patch(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }

private:
    PageBuilder& Put(std::uint32_t v, int n)
    {
        for (int i = 0; i < n; ++i)
            bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        return *this;
    }
    void Close()
    {
        if (open_ != 0)
            Patch(bytes_, open_ - 4, static_cast<std::uint32_t>(bytes_.size() - open_));
        open_ = 0;
    }
    std::vector<std::uint8_t> bytes_;
    std::size_t open_ = 0;
};

inline std::vector<std::string> MakePages(int count, std::size_t size = 200)
{
    std::vector<std::string> pages;
    for (int n = 1; n <= count; ++n)
        pages.push_back(MakePage(n, size + static_cast<std::size_t>(n) * 7));
    return pages;
}

inline std::string StreamBytes(TRpStream& stream)
{
    std::string bytes;
    (void)stream.CopyTo([&](const char* data, std::int64_t n) {
        bytes.append(data, static_cast<std::size_t>(n));
        return true;
    });
    return bytes;
}

}  // namespace report::output::testing
