#include "utility/jpegfile.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <vector>
// jerror.h needs jpeglib.h first.
#include <jerror.h>

namespace utility {

namespace {

// libjpeg's own error handler ends the process; this one jumps back to the decoder.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void ErrorExit(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1); }

// Warnings that mean picture data is missing or damaged count as errors: libjpeg would
// otherwise pad a truncated file with grey and report success.
void EmitMessage(j_common_ptr info, int level)
{
    if (level >= 0)
        return;
    switch (info->err->msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:
        ErrorExit(info);
    default:
        ++info->err->num_warnings;
    }
}

// True when the coded data at `data` end before their first byte: a marker other than a
// restart follows at once.
bool ScanHoldsNoData(const JOCTET* data, std::size_t size)
{
    if (size == 0)
        return true;
    if (data[0] != 0xFF)
        return false;
    std::size_t i = 1;
    while (i < size && data[i] == 0xFF)
        ++i;
    if (i == size)
        return true;
    const JOCTET code = data[i];
    return code != 0x00 && !(code >= JPEG_RST0 && code <= JPEG_RST0 + 7);
}

// Watches each scan as it starts. The Huffman decoder reports data that end too early, the
// arithmetic decoder quietly reads zeros instead (a picture of nothing), so an arithmetic
// scan without data is refused here. The scan count is bounded, because every scan, empty
// or not, costs a pass over the whole picture.
struct ScanMonitor {
    jpeg_progress_mgr pub;
    int lastScan = 0;
};

void MonitorScans(j_common_ptr common)
{
    if (!common->is_decompressor)
        return;
    const auto info = reinterpret_cast<j_decompress_ptr>(common);
    auto* monitor = reinterpret_cast<ScanMonitor*>(info->progress);
    // Called before every step of input; a scan number not seen yet means that scan's
    // header was just read and none of its data yet.
    if (info->input_scan_number == monitor->lastScan)
        return;
    monitor->lastScan = info->input_scan_number;
    if (info->input_scan_number > kMaxJpegScans)
        ErrorExit(common);
    if (info->arith_code && ScanHoldsNoData(info->src->next_input_byte, info->src->bytes_in_buffer))
        ErrorExit(common);
}

// Every libjpeg call lives here. Objects with destructors stay in the caller, so the
// jump back skips nothing.
bool Decode(jpeg_decompress_struct* info, ErrorManager* errors, ScanMonitor* monitor,
            const std::vector<unsigned char>& bytes, long long maxPixels, QImage* out)
{
    if (setjmp(errors->jump))
        return false;
    jpeg_create_decompress(info);
    // Set after the creation, which clears every field but the error manager.
    info->progress = &monitor->pub;
    jpeg_mem_src(info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(info, TRUE);
    if (static_cast<long long>(info->image_width) * info->image_height > maxPixels)
        return false;
    info->out_color_space = JCS_RGB;
    jpeg_start_decompress(info);
    if (info->output_components != 3)
        return false;
    *out = QImage(static_cast<int>(info->output_width), static_cast<int>(info->output_height), QImage::Format_RGB888);
    if (out->isNull())
        return false;
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = out->scanLine(static_cast<int>(info->output_scanline));
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    return true;
}

// The whole file, when it is a plain file of at most kMaxJpegFileBytes bytes.
bool ReadSmallFile(const std::filesystem::path& fileName, std::vector<unsigned char>& bytes)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fileName, ec))
        return false;
    const std::uintmax_t size = std::filesystem::file_size(fileName, ec);
    if (ec || size > kMaxJpegFileBytes)
        return false;
    std::ifstream in(fileName, std::ios::binary);
    bytes.resize(static_cast<std::size_t>(size));
    // A file that grew since its size was taken is read no further than that size.
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return in.gcount() == static_cast<std::streamsize>(bytes.size());
}

}  // namespace

bool LoadJpegFile(QImage& destination, const std::filesystem::path& fileName, long long maxPixels)
{
    std::vector<unsigned char> bytes;
    if (!ReadSmallFile(fileName, bytes))
        return false;
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = ErrorExit;
    errors.pub.emit_message = EmitMessage;
    ScanMonitor monitor{};
    monitor.pub.progress_monitor = MonitorScans;
    QImage decoded;
    const bool ok = Decode(&info, &errors, &monitor, bytes, maxPixels, &decoded);
    jpeg_destroy_decompress(&info);
    if (!ok)
        return false;
    destination = std::move(decoded);
    return true;
}

}  // namespace utility
