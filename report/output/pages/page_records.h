// Reading the page records of a report file: the bounded walk along the links that indexes
// the pages, and one page's bytes from its record.
#pragma once

#include "report/output/pages/page_list.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace report::output {

// Reads `count` bytes at `offset`; false unless all of them arrive.
[[nodiscard]] bool ReadExactAt(TRpStream& stream, std::int64_t offset, void* buffer, std::int64_t count);
[[nodiscard]] std::int32_t LittleEndianInt32(const std::uint8_t* bytes);
void PutLittleEndianInt32(std::uint8_t* bytes, std::int32_t value);

// Walks every record from the header's end: numbers 1, 2, ... in order, each next-record offset
// past the record's fixed fields and inside the file, each back link pointing at the record's
// start, the last record ending at the file's end. Fills `offsets` with every record's start and
// the end (page count + 1 entries). A header page count is checked against what the file can
// hold before the walk; without one the records are counted.
[[nodiscard]] bool IndexPages(TRpStream& stream, const TRpPageListHeader& header, std::vector<std::int64_t>& offsets,
                              std::string& error);

// The bytes of page `n` from its record (offsets as IndexPages gives them), decoded when the
// pages are compressed; the record's number, link and back link are checked again.
[[nodiscard]] TRpPageBytes ReadPageRecord(TRpStream& stream, const std::vector<std::int64_t>& offsets, bool compressed,
                                          std::int32_t n);

// Page `n` read from its stored bytes by the checked page reader within `budget`. Pages of
// another kind (not our page format, or a major version of it we cannot read) give
// kForeignPages; our pages that the reader refuses give kDamagedReportFile with the reader's
// reason.
[[nodiscard]] ReadPageResult ReadStoredPage(const TRpPageBytes& stored, std::int32_t n,
                                            const PictureBudget& budget = {});

}  // namespace report::output
