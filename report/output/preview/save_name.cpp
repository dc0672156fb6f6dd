#include "report/output/preview/save_name.h"

#include "utility/cp1250.h"

#include <QString>

namespace report::output {
namespace {

std::string WithoutDot(std::string_view extension)
{
    if (!extension.empty() && extension.front() == '.')
        extension.remove_prefix(1);
    return std::string(extension);
}

std::string LineExtension(int line, std::string_view defaultExtension, const std::vector<std::string>& filterExtensions)
{
    if (line == 2)
        return "RPP";
    if (line >= 3 && static_cast<std::size_t>(line - 3) < filterExtensions.size())
        return WithoutDot(filterExtensions[static_cast<std::size_t>(line - 3)]);
    return WithoutDot(defaultExtension);
}

}  // namespace

TRpSaveTarget ResolveSaveName(const std::filesystem::path& chosen, int line, std::string_view defaultExtension,
                              const std::vector<std::string>& filterExtensions)
{
    TRpSaveTarget target{chosen, {}};
    const QString own = QString::fromStdU16String(chosen.extension().u16string());
    if (own.size() > 1) {
        // Compared whole: "raport.pdfx" is no PDF file.
        target.extension = utility::QStringToCp1250(own.mid(1).toUpper());
        return target;
    }
    if (!own.isEmpty())
        target.fileName.replace_extension();  // "raport." has no extension yet
    const std::string extension = LineExtension(line, defaultExtension, filterExtensions);
    target.fileName += u".";
    target.fileName += utility::Cp1250ToQString(extension).toStdU16String();
    target.extension = utility::Cp1250UpperCase(extension);
    return target;
}

}  // namespace report::output
