// The recorded document of one report run: its pages, kept one after another in a page stream
// in the layout of the saved report file, so that saving is a copy of the stream and loading
// is opening the file as the stream.
//
// Report file (little-endian): a 128-byte header (format words 3 and 50, page count at 8, the
// time it was written at 16 as a day number, compressed byte at 25, 100 "H" from 26, zeros
// elsewhere), then one record per page: page number (i32), offset of the byte after the record
// (i32), page data, offset of the record's first byte (i32). Page data is a page in our page
// format (page_format.h); compressed, the page's length (i32) and the code of a fresh
// TRpCompress. Older files have headers of 124, 120 or 96 bytes. Error texts are English.
#pragma once

#include "report/output/pages/outline.h"
#include "report/output/pages/page_format.h"
#include "report/output/pages/page_stream.h"
#include "utility/atomic_write.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace report::output {

inline constexpr std::int32_t kPageListHeaderSize = 128;
inline constexpr char kDamagedReportFile[] = "Damaged report file";
inline constexpr char kForeignPages[] = "This report file holds pages in a format the program cannot show";

// What a report file's header says.
struct TRpPageListHeader {
    std::int32_t headerSize = kPageListHeaderSize;
    std::int32_t pageCount = 0;  // -1: not in the header (96 bytes); the pages are counted
    bool compressed = false;
    double time = 0;  // 0 when the header holds none
};

// One page's bytes, or why it cannot be had.
struct TRpPageBytes {
    std::string bytes;
    std::string error;
    [[nodiscard]] bool ok() const { return error.empty(); }
};

class TRpPageList {
public:
    TRpPageList();
    ~TRpPageList();
    TRpPageList(const TRpPageList&) = delete;
    TRpPageList& operator=(const TRpPageList&) = delete;

    // Takes the stream a new recording goes into (nullptr: forgets the stream) and forgets the
    // pages and the outline of the previous document.
    void SetStream(std::unique_ptr<TRpStream> stream);
    [[nodiscard]] TRpStream* Stream() { return stream_.get(); }

    // Appends one page (PageRecorder's bytes); the first page writes the header first.
    // False, with Error(), when the stream takes fewer bytes; the page count stays as it was.
    [[nodiscard]] bool AddRecordedPage(std::string_view page);
    // Writes the header at offset 0 with the page count, the time now and the compressed flag.
    [[nodiscard]] bool WriteHeader();
    // Page `n` (1..PageCount()) read by the checked page reader, or why it cannot be had.
    [[nodiscard]] ReadPageResult GetPage(std::int32_t n);
    // The same page shared: a page is read once and handed out again while anything holds it,
    // and the last ones read are kept (kKeptPages, their pictures within the document's picture
    // memory), so the page shown, its thumbnail and a print draw one page and decode its
    // pictures once. Null, with `error` when given, for a page that cannot be had.
    [[nodiscard]] std::shared_ptr<const Page> SharedPage(std::int32_t n, std::string* error = nullptr);
    // The decoded picture memory the pages of the document share (kMaxDocumentPictureBytes).
    [[nodiscard]] const PictureMemory& Pictures() const { return *pictures_; }
    // The bytes of page `n` as recorded (decoded when compressed).
    [[nodiscard]] TRpPageBytes GetPageBytes(std::int32_t n);

    // Opens and checks the file aside; only a file that passes replaces the current document
    // (and empties the outline). False with `error` otherwise, the current document unchanged.
    [[nodiscard]] bool LoadFromFile(const std::filesystem::path& fileName, std::string& error);
    // Writes the document as the file, through a temporary file beside it renamed when
    // complete, replacing an existing file; the file loaded may be the target.
    [[nodiscard]] utility::WriteResult SaveToFile(const std::filesystem::path& fileName);

    void ResetPageCount();
    [[nodiscard]] std::int32_t PageCount() const { return pageCount_; }
    [[nodiscard]] bool Compressed() const { return compressed_; }
    // Takes effect only before a document's first page: its pages are all stored one way.
    void SetCompressed(bool compressed);
    [[nodiscard]] TRpOutline& Outline() { return outline_; }
    [[nodiscard]] const std::string& Error() const { return error_; }

    // The header size of a report file, decided by where a record numbered 1 starts whose
    // links agree; a file of only a header answers its size. 0 when nothing fits. The stream's
    // position is restored.
    [[nodiscard]] static std::int32_t DetectPageListHeaderSize(TRpStream& stream);
    // Moves the fields of a 124-byte header to their places in the 128-byte layout.
    static void ConvertPageListHeader124(std::array<std::uint8_t, kPageListHeaderSize>& header);
    // Reads the header of whichever size from offset 0; leaves the position after it.
    [[nodiscard]] static bool ReadHeader(TRpStream& stream, TRpPageListHeader& header, std::string& error);
    // The 128-byte header as written.
    [[nodiscard]] static std::array<std::uint8_t, kPageListHeaderSize> BuildHeader(std::int32_t pageCount,
                                                                                   bool compressed, double time);

    // Pages kept after their last use.
    static constexpr std::size_t kKeptPages = 8;

private:
    [[nodiscard]] bool Fail(std::string error);
    // A new document: pages read before are forgotten, and their pictures count apart.
    void ForgetPages();
    [[nodiscard]] PictureBudget Budget() const { return {kMaxPagePictureBytes, pictures_}; }
    void Keep(std::int32_t n, const std::shared_ptr<const Page>& page);

    std::recursive_mutex lock_;
    std::unique_ptr<TRpStream> stream_;
    std::int32_t pageCount_ = 0;
    bool compressed_ = false;
    // offsets_[i]: where page i + 1 starts; the last entry is the document's end. Empty
    // until a header or a page is written.
    std::vector<std::int64_t> offsets_;
    TRpOutline outline_;
    std::string error_;
    std::shared_ptr<PictureMemory> pictures_ = std::make_shared<PictureMemory>();
    // Pages handed out, by number, and the last ones read, most recent first.
    std::map<std::int32_t, std::weak_ptr<const Page>> shared_;
    std::list<std::pair<std::int32_t, std::shared_ptr<const Page>>> kept_;
};

}  // namespace report::output
