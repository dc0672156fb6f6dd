#include "report/editors/editor_texts.h"

#include "report/expr/ev_environment.h"
#include "report/expr/ev_library.h"
#include "report/expr/evaluator.h"
#include "report/expr/expr_unit.h"
#include "utility/floatformat.h"
#include "utility/formatsettings.h"
#include "utility/stringi.h"

#include <charconv>
#include <exception>

namespace report::editors {
namespace {

constexpr char kNoErrors[] = "There are no errors. The result is : ";
constexpr char kErrorPrefix[] = "ERROR: ";

// Prepares an environment for its lifetime (nothing for null).
class PreparedFor {
public:
    explicit PreparedFor(expr::TRpEvEnvironment* environment) : environment_(environment)
    {
        if (environment_)
            environment_->Prepare();
    }
    ~PreparedFor()
    {
        if (environment_)
            environment_->Unprepare();
    }
    PreparedFor(const PreparedFor&) = delete;
    PreparedFor& operator=(const PreparedFor&) = delete;

private:
    expr::TRpEvEnvironment* environment_;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string LineBreaksToBlanks(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out.push_back(' ');
        } else if (text[i] == '\n') {
            out.push_back(' ');
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::string ValidationText(const expr::TRpEvResult& value)
{
    if (value.Kind == expr::rkError)
        return kErrorPrefix + value.StringValue;
    return kNoErrors + expr::ResultToText(value);
}

std::string ValidateExpression(std::string_view expression, const expr::TRpDataSetList& dataSets,
                               expr::TRpEvEnvironment* environment)
{
    // Declared in this order, the builder's environment is unprepared before the global one.
    const PreparedFor global(expr::GlobalEnvironment());
    const PreparedFor local(environment);
    try {
        expr::TRpDataSetList offered = dataSets;
        expr::TRpEvaluator evaluator;
        evaluator.SetDatasets(&offered);
        evaluator.SetEnvironment(environment);
        return ValidationText(evaluator.Calculate(expression));
    } catch (const std::exception& e) {
        return kErrorPrefix + std::string(e.what());
    }
}

std::string SizeToText(long double value) { return utility::FloatToTextGeneral(static_cast<double>(value), 15); }

std::optional<long double> ParseSizeText(std::string_view text)
{
    const std::string trimmed = utility::TrimBoth(text);
    const char comma = utility::PolishFormatSettings().decimalSeparator;
    std::string plain;
    bool digits = false;
    bool separator = false;
    for (char c : trimmed) {
        if (IsDigit(c)) {
            digits = true;
            plain.push_back(c);
        } else if (c == comma && !separator) {
            separator = true;
            plain.push_back('.');
        } else {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    long double value = 0;
    const auto r = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (r.ec != std::errc() || r.ptr != plain.data() + plain.size())
        return std::nullopt;
    return value;
}

std::vector<TRpOfferedDataSet> ListDataSets(const expr::TRpDataSetList* context)
{
    std::vector<TRpOfferedDataSet> list;
    if (!context)
        return list;
    for (expr::TRpDataSet* dataSet : *context)
        if (dataSet)
            list.push_back({dataSet->Name(), dataSet});
    return list;
}

std::vector<std::string> FieldNames(expr::TRpDataSet& dataSet)
{
    std::vector<std::string> names;
    for (int i = 0; i < dataSet.FieldCount(); ++i)
        if (const expr::TRpField* field = dataSet.Field(i))
            names.push_back(field->FieldName());
    return names;
}

const std::vector<std::string>& FunctionCategories()
{
    static const std::vector<std::string> categories{"All",      "Date & time", "Math & trig", "Statistical",
                                                     "Database", "Logical",     "Information", "Other"};
    return categories;
}

std::vector<int> FunctionsInCategory(const expr::TRpLibrary& library, int category)
{
    std::vector<int> lines;
    for (int i = 0; i < library.Count(); ++i) {
        const expr::TRpLibraryEntry* entry = library.GetEntry(i);
        if (!entry)
            continue;
        const int group =
            !entry->ArgumentSpec.empty() && IsDigit(entry->ArgumentSpec[0]) ? entry->ArgumentSpec[0] - '0' : -1;
        if (category == 0 || group == category)
            lines.push_back(i);
    }
    return lines;
}

std::pair<std::string, std::string> SplitDescription(const expr::TRpLibraryEntry& entry)
{
    const std::size_t bar = entry.Description.find('|');
    if (bar == std::string::npos)
        return {entry.Description, std::string()};
    return {entry.Description.substr(0, bar), entry.Description.substr(bar + 1)};
}

std::string ArgumentLetters(const expr::TRpLibraryEntry& entry)
{
    return entry.ArgumentSpec.size() > 1 ? entry.ArgumentSpec.substr(1) : std::string();
}

std::string ArgumentLabel(char letter, int number)
{
    const char* kind = "value";
    switch (letter) {
    case 'N':
        kind = "numeric value";
        break;
    case 'B':
        kind = "logical value";
        break;
    case 'S':
        kind = "text Value";
        break;
    default:
        break;
    }
    return "Argument " + std::to_string(number) + " - " + kind;
}

std::string ParameterHeading(int number, std::string_view function)
{
    return "Enter " + std::to_string(number) + ". parameter for " + std::string(function);
}

std::string FunctionCall(std::string_view name, const std::vector<std::string>& arguments)
{
    std::string call(name);
    call += '(';
    for (std::size_t i = 0; i < arguments.size(); ++i)
        call.append(i ? "," : "").append(arguments[i]);
    call += ')';
    return call;
}

}  // namespace report::editors
