// Recording pages into the stream, reading them back by an index of record offsets, and
// loading and saving report files.
#include "report/output/pages/page_list.h"

#include "report/output/pages/page_compress.h"
#include "report/output/pages/page_records.h"
#include "utility/datetime.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace report::output {
namespace {

constexpr char kWriteFailed[] = "Cannot write the report's pages";

bool SeekTo(TRpStream& stream, std::int64_t offset)
{
    return stream.Seek(offset, TRpStream::Origin::Beginning) == offset;
}

bool WriteAt(TRpStream& stream, std::int64_t offset, const void* data, std::int64_t size)
{
    return SeekTo(stream, offset) && stream.Write(data, size) == size;
}

bool WriteInt32(TRpStream& stream, std::int64_t value)
{
    std::uint8_t bytes[4];
    PutLittleEndianInt32(bytes, static_cast<std::int32_t>(value));
    return stream.Write(bytes, 4) == 4;
}

bool WriteCompressed(TRpStream& stream, std::string_view page)
{
    if (!WriteInt32(stream, static_cast<std::int64_t>(page.size())))
        return false;
    TRpCompress coder(stream, true);
    for (char c : page)
        coder.Encode(static_cast<std::uint8_t>(c));
    return coder.Finish();
}

}  // namespace

TRpPageList::TRpPageList() = default;
TRpPageList::~TRpPageList() = default;

void TRpPageList::SetStream(std::unique_ptr<TRpStream> stream)
{
    std::lock_guard guard(lock_);
    stream_ = std::move(stream);
    pageCount_ = 0;
    offsets_.clear();
    outline_.Clear();
    ForgetPages();
}

void TRpPageList::ResetPageCount()
{
    std::lock_guard guard(lock_);
    pageCount_ = 0;
    offsets_.clear();
    ForgetPages();
}

void TRpPageList::ForgetPages()
{
    shared_.clear();
    kept_.clear();
    pictures_ = std::make_shared<PictureMemory>(pictures_->Limit());
}

void TRpPageList::SetCompressed(bool compressed)
{
    std::lock_guard guard(lock_);
    if (pageCount_ == 0)
        compressed_ = compressed;
}

bool TRpPageList::Fail(std::string error)
{
    error_ = std::move(error);
    return false;
}

std::array<std::uint8_t, kPageListHeaderSize> TRpPageList::BuildHeader(std::int32_t pageCount, bool compressed,
                                                                       double time)
{
    std::array<std::uint8_t, kPageListHeaderSize> header{};
    header[0] = 3;
    header[2] = 50;
    PutLittleEndianInt32(header.data() + 8, pageCount);
    std::memcpy(header.data() + 16, &time, sizeof time);
    header[25] = compressed ? 1 : 0;
    std::memset(header.data() + 26, 'H', 100);
    return header;
}

bool TRpPageList::WriteHeader()
{
    std::lock_guard guard(lock_);
    if (!stream_)
        stream_ = std::make_unique<TRpStream>();
    const auto header = BuildHeader(pageCount_, compressed_, utility::Now());
    if (!WriteAt(*stream_, 0, header.data(), kPageListHeaderSize))
        return Fail(kWriteFailed);
    if (offsets_.empty())
        offsets_.push_back(kPageListHeaderSize);
    return true;
}

bool TRpPageList::AddRecordedPage(std::string_view page)
{
    std::lock_guard guard(lock_);
    if (!stream_)
        stream_ = std::make_unique<TRpStream>();
    // Offsets and the compressed length are 32-bit in the file.
    if (page.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        return Fail("The page is too large for a report file");
    const std::int32_t n = pageCount_ + 1;
    if (n == 1) {
        // The header carries the count of 1 until the document ends.
        ForgetPages();
        pageCount_ = 1;
        offsets_.clear();
        const bool written = WriteHeader();
        pageCount_ = 0;
        if (!written)
            return false;
    }
    // A page that failed part-way is overwritten by the next one.
    const std::int64_t start = offsets_.back();
    const std::int64_t linkAt = start + 4;
    bool written = SeekTo(*stream_, start) && WriteInt32(*stream_, n) && WriteInt32(*stream_, 0);
    if (written && compressed_)
        written = WriteCompressed(*stream_, page);
    else if (written)
        written = stream_->Write(page.data(), static_cast<std::int64_t>(page.size())) ==
                  static_cast<std::int64_t>(page.size());
    written = written && WriteInt32(*stream_, start);
    const std::int64_t end = stream_->Position();
    if (!written || end > std::numeric_limits<std::int32_t>::max())
        return Fail(kWriteFailed);
    if (!SeekTo(*stream_, linkAt) || !WriteInt32(*stream_, end) || !SeekTo(*stream_, end))
        return Fail(kWriteFailed);
    pageCount_ = n;
    offsets_.push_back(end);
    return true;
}

TRpPageBytes TRpPageList::GetPageBytes(std::int32_t n)
{
    std::lock_guard guard(lock_);
    if (!stream_ || n < 1 || n > pageCount_)
        return {{}, "No page " + std::to_string(n) + " in the report"};
    return ReadPageRecord(*stream_, offsets_, compressed_, n);
}

ReadPageResult TRpPageList::GetPage(std::int32_t n)
{
    std::string error;
    const std::shared_ptr<const Page> page = SharedPage(n, &error);
    if (!page)
        return {std::nullopt, error};
    return {*page, {}};
}

std::shared_ptr<const Page> TRpPageList::SharedPage(std::int32_t n, std::string* error)
{
    std::lock_guard guard(lock_);
    if (const auto found = shared_.find(n); found != shared_.end()) {
        if (std::shared_ptr<const Page> page = found->second.lock()) {
            Keep(n, page);
            return page;
        }
    }
    ReadPageResult read = ReadStoredPage(GetPageBytes(n), n, Budget());
    if (!read.page) {
        if (error)
            *error = read.error;
        return nullptr;
    }
    auto page = std::make_shared<const Page>(std::move(*read.page));
    // Pages let go of by everyone leave their entries behind.
    if (shared_.size() >= 4 * kKeptPages)
        std::erase_if(shared_, [](const auto& entry) { return entry.second.expired(); });
    shared_[n] = page;
    Keep(n, page);
    return page;
}

void TRpPageList::Keep(std::int32_t n, const std::shared_ptr<const Page>& page)
{
    std::erase_if(kept_, [n](const auto& entry) { return entry.first == n; });
    kept_.emplace_front(n, page);
    // The pages kept for later stay within the document's picture memory, the newest always.
    std::uint64_t bytes = kept_.front().second->pictureBytes;
    std::size_t count = 1;
    auto it = std::next(kept_.begin());
    for (; it != kept_.end(); ++it, ++count) {
        bytes += it->second->pictureBytes;
        if (count >= kKeptPages || bytes > pictures_->Limit())
            break;
    }
    kept_.erase(it, kept_.end());
}

bool TRpPageList::LoadFromFile(const std::filesystem::path& fileName, std::string& error)
{
    std::unique_ptr<TRpStream> stream = TRpStream::CreateFromFile(fileName, error);
    if (!stream)
        return false;
    TRpPageListHeader header;
    std::vector<std::int64_t> offsets;
    if (!ReadHeader(*stream, header, error) || !IndexPages(*stream, header, offsets, error))
        return false;
    const auto count = static_cast<std::int32_t>(offsets.size() - 1);
    // The first and the last page must be pages this program can show; read once, they are
    // the first pages the document keeps.
    const auto pictures = std::make_shared<PictureMemory>(pictures_->Limit());
    std::vector<std::int32_t> checked;
    if (count >= 1)
        checked.push_back(1);
    if (count >= 2)
        checked.push_back(count);
    std::vector<std::pair<std::int32_t, std::shared_ptr<const Page>>> read;
    for (const std::int32_t n : checked) {
        ReadPageResult page =
            ReadStoredPage(ReadPageRecord(*stream, offsets, header.compressed, n), n, {kMaxPagePictureBytes, pictures});
        if (!page.page) {
            error = page.error;
            return false;
        }
        read.emplace_back(n, std::make_shared<const Page>(std::move(*page.page)));
    }
    std::lock_guard guard(lock_);
    stream_ = std::move(stream);
    offsets_ = std::move(offsets);
    pageCount_ = count;
    compressed_ = header.compressed;
    outline_.Clear();
    ForgetPages();
    pictures_ = pictures;
    // Page 1 is shown first: kept last, it is the most recent.
    for (auto it = read.rbegin(); it != read.rend(); ++it) {
        shared_[it->first] = it->second;
        Keep(it->first, it->second);
    }
    error.clear();
    return true;
}

utility::WriteResult TRpPageList::SaveToFile(const std::filesystem::path& fileName)
{
    std::lock_guard guard(lock_);
    if (fileName.empty() || !fileName.has_filename())
        return {utility::WriteStatus::Failed, "No file name given"};
    if (!stream_ || offsets_.empty())
        return {utility::WriteStatus::Failed, "There is no report to save"};
    // Only the document itself: a page that failed part-way may have left bytes past its end.
    const std::int64_t size = offsets_.back();
    utility::AtomicFileWriter writer(fileName);
    std::int64_t copied = 0;
    const bool copiedAll = stream_->CopyTo([&](const char* data, std::int64_t n) {
        const std::int64_t take = std::min(n, size - copied);
        copied += take;
        return take <= 0 || writer.Write(data, static_cast<std::size_t>(take));
    });
    if (!writer.ok())
        return writer.Commit(true);  // reports the write error and removes the temporary file
    // A report file cut short since it was loaded must not replace a good file.
    if (!copiedAll || copied != size)
        return {utility::WriteStatus::Failed, "Cannot read the report's pages"};
    return writer.Commit(true);
}

}  // namespace report::output
