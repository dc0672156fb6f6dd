// Export filters that write a stream of bytes, and the stream they write to: a file that appears
// whole when it is committed (until then the bytes go to a temporary file beside it, so an
// existing file of that name stays as it was), or memory.
#pragma once

#include "report/output/export/export_filter.h"
#include "utility/atomic_write.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace report::output {

class ExportStream {
public:
    // A stream into memory.
    ExportStream();
    // A stream into the file `fileName`. ERpError when no file can be created there.
    explicit ExportStream(const std::filesystem::path& fileName);
    ~ExportStream();
    ExportStream(const ExportStream&) = delete;
    ExportStream& operator=(const ExportStream&) = delete;

    [[nodiscard]] bool IsFile() const { return file_ != nullptr; }
    // Appends the bytes. ERpError when the file cannot take them.
    void Write(std::string_view bytes);
    // A file stream: everything written so far becomes the file, replacing an older one.
    // ERpError when that fails; the older file then stays. Nothing to do for memory.
    void Commit();
    // What a memory stream holds.
    [[nodiscard]] const std::string& Bytes() const { return buffer_; }

private:
    void Flush();

    std::unique_ptr<utility::AtomicFileWriter> file_;
    std::string buffer_;
};

// The base of filters that write a byte stream. Releasing the stream without committing it
// leaves no file behind.
class TRpPAbstractExportFilter : public TRpExportFilter {
public:
    using TRpExportFilter::TRpExportFilter;

    [[nodiscard]] std::string GetDescription() const override;
    [[nodiscard]] std::string GetExtension() const override;
    [[nodiscard]] std::string GetFilterName() const override;

    // A file stream for a file name, a memory stream for an empty one. ERpError when the file
    // cannot be created.
    virtual void CreateStream(const std::filesystem::path& fileName);
    virtual void CloseStream();

protected:
    std::unique_ptr<ExportStream> Stream;
};

}  // namespace report::output
