// What the design-time editors compute without a window: expression texts, the validation
// message, size texts in the Polish format, the function library's categories and the
// parameter rows of a function.
#pragma once

#include "report/expr/ev_result.h"
#include "report/expr/rp_dataset.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace report::expr {
class TRpEvEnvironment;
class TRpLibrary;
struct TRpLibraryEntry;
}  // namespace report::expr

namespace report::editors {

// Each line break (CR LF, LF or CR) becomes one blank: an expression is one line.
[[nodiscard]] std::string LineBreaksToBlanks(std::string_view text);

// "There are no errors. The result is : " and the value's text, or "ERROR: " and the message
// for an error result.
[[nodiscard]] std::string ValidationText(const expr::TRpEvResult& value);
// Calculates `expression` over `dataSets` and `environment` (may be null) with the global
// environment and `environment` prepared for the time of it, and gives the validation text.
// An exception raised by the evaluation becomes "ERROR: " and its message.
[[nodiscard]] std::string ValidateExpression(std::string_view expression, const expr::TRpDataSetList& dataSets,
                                             expr::TRpEvEnvironment* environment);

// A size value as the size fields show it: the general float text with the Polish decimal comma.
[[nodiscard]] std::string SizeToText(long double value);
// A size typed in the Polish format: digits with at most one decimal comma, blanks around it
// allowed. nullopt for anything else (an empty text included).
[[nodiscard]] std::optional<long double> ParseSizeText(std::string_view text);

// A data set offered to the expression builder: its component name and the data set.
struct TRpOfferedDataSet {
    std::string name;
    expr::TRpDataSet* dataSet;
};
// The data sets of the context in order, without null entries; none for no context.
[[nodiscard]] std::vector<TRpOfferedDataSet> ListDataSets(const expr::TRpDataSetList* context);
// The names of the data set's fields in order.
[[nodiscard]] std::vector<std::string> FieldNames(expr::TRpDataSet& dataSet);

// The builder's function categories; the index is the group digit of an entry's argument
// spec ("All" at 0 takes every entry).
[[nodiscard]] const std::vector<std::string>& FunctionCategories();
// The lines of `library` whose group digit is `category` (every line for 0), in order.
[[nodiscard]] std::vector<int> FunctionsInCategory(const expr::TRpLibrary& library, int category);
// The entry's description split at its first "|": syntax text and description, as stored.
[[nodiscard]] std::pair<std::string, std::string> SplitDescription(const expr::TRpLibraryEntry& entry);
// The argument letters of an entry (its spec after the group digit).
[[nodiscard]] std::string ArgumentLetters(const expr::TRpLibraryEntry& entry);
// "Argument <number> - numeric value" (N), "logical value" (B), "text Value" (S), "value" (others).
[[nodiscard]] std::string ArgumentLabel(char letter, int number);
// "Enter <number>. parameter for <function>".
[[nodiscard]] std::string ParameterHeading(int number, std::string_view function);
// The call: the name, then the arguments joined by "," in parentheses.
[[nodiscard]] std::string FunctionCall(std::string_view name, const std::vector<std::string>& arguments);

}  // namespace report::editors
