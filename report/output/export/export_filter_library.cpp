#include "report/output/export/export_filter_library.h"

#include "utility/cp1250.h"

#include <QString>

#include <algorithm>

namespace report::output {
namespace {

// The report file's own line of the save dialog.
constexpr std::string_view kReportFileDescription = "ZudevAzerov file";
constexpr std::string_view kReportFileExtension = "RPP";

std::unique_ptr<TRpExportFilterLibrary>& TheLibrary()
{
    static std::unique_ptr<TRpExportFilterLibrary> library;
    return library;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b)
{
    return utility::Cp1250ToQString(a).compare(utility::Cp1250ToQString(b), Qt::CaseInsensitive) == 0;
}

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + 1);
    }
}

// The description without a trailing "(...)" and the blanks before it.
QString DescriptionWithoutMasks(std::string_view description)
{
    QString text = utility::Cp1250ToQString(description).trimmed();
    if (text.endsWith(u')')) {
        const qsizetype open = text.lastIndexOf(u'(');
        if (open >= 0)
            text = text.left(open).trimmed();
    }
    return text;
}

QStringList MasksInBothCases(std::string_view masks)
{
    QStringList patterns;
    for (const std::string_view mask : Split(masks, ';')) {
        const QString pattern = utility::Cp1250ToQString(mask).trimmed();
        if (pattern.isEmpty())
            continue;
        for (const QString& variant : {pattern.toUpper(), pattern.toLower()})
            if (!patterns.contains(variant))
                patterns.append(variant);
    }
    return patterns;
}

}  // namespace

void TRpExportFilterLibrary::AddFilter(const TRpExportFilterClass& filterClass)
{
    if (std::any_of(filters_.begin(), filters_.end(),
                    [&](const TRpExportFilterLibraryEntry& e) { return e.FilterClass == filterClass; }))
        return;
    const std::unique_ptr<TRpExportFilter> instance = filterClass.create({});
    filters_.push_back({filterClass, instance->GetFilterName(), instance->GetExtension()});
}

void TRpExportFilterLibrary::RemoveFilter(const TRpExportFilterClass& filterClass)
{
    // By the class itself: two classes may share a filter name, and removing one must not
    // take the other's entry.
    const auto it = std::find_if(filters_.begin(), filters_.end(),
                                 [&](const TRpExportFilterLibraryEntry& e) { return e.FilterClass == filterClass; });
    if (it != filters_.end())
        filters_.erase(it);
}

const TRpExportFilterLibraryEntry* TRpExportFilterLibrary::FindFilter(std::string_view extension) const
{
    for (const TRpExportFilterLibraryEntry& entry : filters_)
        if (SameTextIgnoringCase(entry.Extension, extension))
            return &entry;
    return nullptr;
}

std::string TRpExportFilterLibrary::GetFilterString() const
{
    std::string text = std::string(kReportFileDescription) + "(*." + std::string(kReportFileExtension) + ")|*." +
                       std::string(kReportFileExtension);
    for (const TRpExportFilterLibraryEntry& entry : filters_)
        text += "|" + entry.FilterName + " (*." + entry.Extension + ")|*." + entry.Extension;
    return text;
}

TRpExportFilterLibrary* ExportFilterLibrary() { return TheLibrary().get(); }

void CreateExportFilterLibrary()
{
    if (!TheLibrary())
        TheLibrary() = std::make_unique<TRpExportFilterLibrary>();
}

void ReleaseExportFilterLibrary() { TheLibrary().reset(); }

std::string_view PrevSaveTypeExtension(TPrevSaveType type)
{
    const auto index = static_cast<std::size_t>(type);
    return index < kPrevSaveTypeExtensions.size() ? kPrevSaveTypeExtensions[index] : kPrevSaveTypeExtensions[0];
}

QStringList QtNameFilters(std::string_view filterString)
{
    QStringList filters;
    if (filterString.empty())
        return filters;
    const std::vector<std::string_view> parts = Split(filterString, '|');
    for (std::size_t i = 0; i < parts.size(); i += 2) {
        const QString description = DescriptionWithoutMasks(parts[i]);
        const QStringList masks = i + 1 < parts.size() ? MasksInBothCases(parts[i + 1]) : QStringList();
        if (masks.isEmpty())
            filters.append(description);
        else
            filters.append(description + QStringLiteral(" (") + masks.join(QChar(u' ')) + QChar(u')'));
    }
    return filters;
}

}  // namespace report::output
