// The registry of export filter classes: what the preview's save dialog offers besides the
// report file, and which filter writes a chosen extension. The program has one registry, made
// and released by its start-up; components that provide a filter add its class while they exist.
#pragma once

#include "report/output/export/export_filter.h"

#include <QStringList>

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <typeindex>
#include <vector>

namespace report::output {

// A filter class: its identity and how to make an instance writing to a file name.
struct TRpExportFilterClass {
    using Factory = std::unique_ptr<TRpExportFilter> (*)(const std::filesystem::path& fileName);

    std::type_index type;
    Factory create;

    [[nodiscard]] bool operator==(const TRpExportFilterClass& other) const { return type == other.type; }
};

// The class of `Filter`, which must be constructible from a file name.
template <class Filter>
[[nodiscard]] TRpExportFilterClass ExportFilterClassOf()
{
    return {typeid(Filter), [](const std::filesystem::path& fileName) -> std::unique_ptr<TRpExportFilter> {
                return std::make_unique<Filter>(fileName);
            }};
}

struct TRpExportFilterLibraryEntry {
    TRpExportFilterClass FilterClass;
    std::string FilterName;  // code page 1250
    std::string Extension;   // without the dot
};

class TRpExportFilterLibrary {
public:
    // Records the class with the name and extension an instance of it gives; a class already
    // recorded is not added again. Another class may share a name and extension.
    void AddFilter(const TRpExportFilterClass& filterClass);
    // Removes the entry of exactly this class; a class never added changes nothing.
    void RemoveFilter(const TRpExportFilterClass& filterClass);
    // The first entry whose extension equals `extension` (without the dot) ignoring case;
    // nullptr when none does.
    [[nodiscard]] const TRpExportFilterLibraryEntry* FindFilter(std::string_view extension) const;
    // The save dialog's list: "description|mask" pairs joined by "|", the report file first,
    // then every entry in order.
    [[nodiscard]] std::string GetFilterString() const;

    [[nodiscard]] const std::vector<TRpExportFilterLibraryEntry>& Filters() const { return filters_; }

private:
    std::vector<TRpExportFilterLibraryEntry> filters_;
};

// The program's registry; nullptr before CreateExportFilterLibrary and after its release.
[[nodiscard]] TRpExportFilterLibrary* ExportFilterLibrary();
// Start-up: makes the registry (once; a second call keeps the one there is).
void CreateExportFilterLibrary();
// The program's end: releases the registry with its entries.
void ReleaseExportFilterLibrary();

// The types a preview can save as; the report picks its dialog's first line by one of them.
enum class TPrevSaveType : std::uint8_t { stRPP, stPDF, stXL, stHTML, stRTF, stCSV, stASCII, stXML };

// The extension of each save type, with its dot, in the order of TPrevSaveType.
inline constexpr std::array<std::string_view, 8> kPrevSaveTypeExtensions = {".RPP", ".PDF", ".XLS", ".HTML",
                                                                            ".RTF", ".CSV", ".TXT", ".XML"};

[[nodiscard]] std::string_view PrevSaveTypeExtension(TPrevSaveType type);

// A "description|mask|description|mask..." list (code page 1250) as name filters of a Qt file
// dialog, one per pair, in order: the description without its own "(*.X)" part, then every
// mask in upper and lower case: "PDF document (*.PDF *.pdf)". Masks may be joined by ";".
// A description without a mask (odd count) gets none.
[[nodiscard]] QStringList QtNameFilters(std::string_view filterString);

}  // namespace report::output
