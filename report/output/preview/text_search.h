// Finding text in a recorded page, for the preview's search.
#pragma once

#include "report/output/pages/page_format.h"

#include <QString>

#include <string>
#include <vector>

class QObject;

namespace report::output {

// True when one text record of `page` contains `text`. The records' code page 1250 is read as
// Unicode and compared as such: every letter in either case unless `matchCase`. An empty text
// is found nowhere. A search started while another one runs is refused: false.
[[nodiscard]] bool FindTextInMetafile(const QString& text, const Page& page, bool matchCase);

// A data-set component of a form, for the expression builder.
struct TRpDataSetItem {
    std::string name;
    QObject* component = nullptr;
};
// The data sets owned by `form` (and, with `allForms`, by every form): the program has no
// data-set components, so the list is always empty.
[[nodiscard]] std::vector<TRpDataSetItem> ListDataSets(QObject* form, bool allForms);

}  // namespace report::output
