#include "report/output/preview/text_search.h"

#include "utility/cp1250.h"

namespace report::output {
namespace {

bool g_searchRunning = false;

class SearchMark {
public:
    SearchMark() { g_searchRunning = true; }
    ~SearchMark() { g_searchRunning = false; }
    SearchMark(const SearchMark&) = delete;
    SearchMark& operator=(const SearchMark&) = delete;
};

}  // namespace

bool FindTextInMetafile(const QString& text, const Page& page, bool matchCase)
{
    // The search never waits for anything, so a second one can only have been started from
    // inside the first: there is nothing sound it could answer.
    if (g_searchRunning || text.isEmpty())
        return false;
    const SearchMark mark;
    const Qt::CaseSensitivity sensitivity = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    bool found = false;
    ForEachText(page, [&](const page_record::Text& record) {
        found = utility::Cp1250ToQString(record.bytes).contains(text, sensitivity);
        return !found;
    });
    return found;
}

std::vector<TRpDataSetItem> ListDataSets(QObject* form, bool allForms)
{
    static_cast<void>(form);
    static_cast<void>(allForms);
    return {};
}

}  // namespace report::output
