#include "report/expr/ev_library.h"

#include "report/expr/ev_aggregates.h"
#include "report/expr/ev_functions.h"
#include "report/expr/ev_messages.h"
#include "utility/cp1250.h"

namespace report::expr {
namespace {

// The vendor text every built-in function carries.
constexpr const char* kVendor = "Built-in";

template <typename Function>
void RegisterFunction(TRpLibrary& library, const char* name, const char* syntax, const char* description,
                      const char* argumentSpec)
{
    library.Add(TRpLibraryEntry{std::string(syntax) + "|" + description, argumentSpec,
                                [] { return std::unique_ptr<TRpEvElement>(std::make_unique<Function>()); }, name,
                                kVendor});
}

}  // namespace

void TRpLibrary::Add(TRpLibraryEntry entry) { entries_.push_back(std::move(entry)); }

int TRpLibrary::IndexOf(std::string_view name) const
{
    const std::string wanted = utility::Cp1250UpperCase(name);
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (utility::Cp1250UpperCase(entries_[i].Name) == wanted)
            return static_cast<int>(i);
    return -1;
}

std::unique_ptr<TRpEvElement> TRpLibrary::GetFunction(std::string_view name) const
{
    const int index = IndexOf(name);
    if (index < 0 || !entries_[static_cast<std::size_t>(index)].FuncClass)
        return std::make_unique<TRpEvElementError>(FillMessage(msg::kUnknownFunction, name));
    return entries_[static_cast<std::size_t>(index)].FuncClass();
}

const TRpLibraryEntry* TRpLibrary::GetEntry(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return &entries_[static_cast<std::size_t>(index)];
}

void RegisterBuiltInFunctions(TRpLibrary& l)
{
    RegisterFunction<TRpEvIfFunction>(l, "IF", "IF(<Exp>, <X>, <Y>)",
                                      "Returns <X> or <Y> depending on the boolean expression <Exp>", "5BVV");
    RegisterFunction<TRpEvStrFunction>(l, "STR", "STR(<X>)", "Convert a numeric <X> to a string", "7N");
    RegisterFunction<TRpEvUpperFunction>(l, "UPPER", "UPPER(<X>)", "Converts a string to upper case letters", "7S");
    RegisterFunction<TRpEvLowerFunction>(l, "LOWER", "LOWER(<X>)", "Converts a string to lower case letters", "7S");
    RegisterFunction<TRpEvPrettyFunction>(l, "PRETTY", "PRETTY(<X>)",
                                          "Makes the first character upper case and the rest lower case", "7S");
    RegisterFunction<TRpEvTimeFunction>(l, "TIME", "TIME", "Return current time as a string", "1");
    RegisterFunction<TRpEvDateFunction>(l, "DATE", "DATE", "Return current date as a string", "1");
    RegisterFunction<TRpEvCopyFunction>(l, "COPY", "COPY(<X>, <St>,<Len>)", "Returns a substring of string X", "7SNN");
    RegisterFunction<TRpEvSumFunction>(l, "SUM", "SUM(<X>)", "Sums the numeric <X>", "3N");
    RegisterFunction<TRpEvCountFunction>(l, "COUNT", "COUNT", "Increments for each iteration", "3");
    RegisterFunction<TRpEvMaxFunction>(l, "MAX", "MAX(<X>)", "Returns the highest <X>", "3V");
    RegisterFunction<TRpEvMinFunction>(l, "MIN", "MIN(<X>)", "Returns the lowest <X>", "3V");
    RegisterFunction<TRpEvAverageFunction>(l, "AVERAGE", "AVERAGE(<X>)", "Returns the average of numeric <X>", "3N");
    RegisterFunction<TRpEvTrue>(l, "TRUE", "TRUE", "boolean value", "5");
    RegisterFunction<TRpEvFalse>(l, "FALSE", "FALSE", "boolean value", "5");
    RegisterFunction<TRpEvIntFunction>(l, "INT", "INT(<X>)", "Returns the integer part of <X>", "2N");
    RegisterFunction<TRpEvFracFunction>(l, "FRAC", "FRAC(<X>)", "Returns the fractional part of <X>", "2N");
    RegisterFunction<TRpEvSQRTFunction>(l, "SQRT", "SQRT(<X>)", "Returns square root of <X>", "2N");
    RegisterFunction<TRpEvDivFunction>(l, "DIV", "DIV(<X>, <Y>) ", " Integer division of <X> by <Y>", "2NN");
    RegisterFunction<TRpEvTypeOfFunction>(l, "TYPEOF", "TYPEOF(<Exp>)", "Returns the data type of <Exp>", "6N");
    RegisterFunction<TRpEvFormatNumericFunction>(l, "FORMATNUMERIC", "FORMATNUMERIC(<F>,<N>)",
                                                 "Formats numeric <N> using the mask in <F>", "7SN");
}

}  // namespace report::expr
