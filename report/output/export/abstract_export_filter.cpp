#include "report/output/export/abstract_export_filter.h"

#include "utility/cp1250.h"
#include "utility/rp_error.h"
#include "utility/syserror.h"

#include <cerrno>
#include <system_error>

namespace report::output {
namespace {

// Bytes are handed to the file in pieces of about this size.
constexpr std::size_t kFlushSize = 1 << 20;

}  // namespace

ExportStream::ExportStream() = default;

ExportStream::ExportStream(const std::filesystem::path& fileName)
{
    // A folder of that name could never be replaced by the file: say so now, not at the end.
    std::error_code ignored;
    if (std::filesystem::is_directory(fileName, ignored))
        throw ERpError(utility::Pl("Nie można utworzyć pliku \"") + utility::Utf8ToCp1250(fileName.string()) +
                       "\".\r\n" + utility::SystemErrorText(EISDIR));
    file_ = std::make_unique<utility::AtomicFileWriter>(fileName);
    if (!file_->ok())
        throw ERpError(file_->Error());
}

ExportStream::~ExportStream() = default;

void ExportStream::Write(std::string_view bytes)
{
    buffer_.append(bytes);
    if (file_ && buffer_.size() >= kFlushSize)
        Flush();
}

void ExportStream::Flush()
{
    if (!file_->Write(buffer_.data(), buffer_.size()))
        throw ERpError(file_->Error());
    buffer_.clear();
}

void ExportStream::Commit()
{
    if (!file_)
        return;
    Flush();
    const utility::WriteResult result = file_->Commit(true);
    if (!result.ok())
        throw ERpError(result.error);
}

std::string TRpPAbstractExportFilter::GetDescription() const { return {}; }

std::string TRpPAbstractExportFilter::GetExtension() const { return {}; }

std::string TRpPAbstractExportFilter::GetFilterName() const { return "RpAbstract"; }

void TRpPAbstractExportFilter::CreateStream(const std::filesystem::path& fileName)
{
    Stream = fileName.empty() ? std::make_unique<ExportStream>() : std::make_unique<ExportStream>(fileName);
}

void TRpPAbstractExportFilter::CloseStream() { Stream.reset(); }

}  // namespace report::output
