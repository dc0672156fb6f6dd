#include "utility/jpegfile.h"

#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jpeglib.h>
// jerror.h needs jpeglib.h first.
#include <jerror.h>

namespace utility {

namespace {

// libjpeg's own error handler ends the process; this one jumps back to the decoder.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void ErrorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

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

// Every libjpeg call lives here. Objects with destructors stay in the caller, so the
// jump back skips nothing.
bool Decode(jpeg_decompress_struct* info, ErrorManager* errors, std::FILE* file, long long maxPixels, QImage* out)
{
    if (setjmp(errors->jump))
        return false;
    jpeg_create_decompress(info);
    jpeg_stdio_src(info, file);
    jpeg_read_header(info, TRUE);
    if (static_cast<long long>(info->image_width) * info->image_height > maxPixels)
        return false;
    info->out_color_space = JCS_RGB;
    jpeg_start_decompress(info);
    if (info->output_components != 3)
        return false;
    *out = QImage(static_cast<int>(info->output_width), static_cast<int>(info->output_height),
                  QImage::Format_RGB888);
    if (out->isNull())
        return false;
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = out->scanLine(static_cast<int>(info->output_scanline));
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    return true;
}

} // namespace

bool LoadJpegFile(QImage& destination, const std::filesystem::path& fileName, long long maxPixels)
{
    std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(fileName.c_str(), "rb"), &std::fclose);
    if (!file)
        return false;
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = ErrorExit;
    errors.pub.emit_message = EmitMessage;
    QImage decoded;
    const bool ok = Decode(&info, &errors, file.get(), maxPixels, &decoded);
    jpeg_destroy_decompress(&info);
    if (!ok)
        return false;
    destination = std::move(decoded);
    return true;
}

} // namespace utility
