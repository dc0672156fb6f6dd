// The function library: function names with the element class that computes them.
#pragma once

#include "report/expr/ev_elements.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace report::expr {

// Makes one new element for each use of a function in an expression.
using TRpFunctionFactory = std::function<std::unique_ptr<TRpEvElement>()>;

struct TRpLibraryEntry {
    std::string Description;   // the syntax text, "|", the description text
    std::string ArgumentSpec;  // the builder's group digit, then one letter per argument (N S B V)
    TRpFunctionFactory FuncClass;
    std::string Name;  // upper case
    std::string Vendor;
};

class TRpLibrary {
public:
    virtual ~TRpLibrary() = default;
    // Appends an entry; a second entry of a name is appended too, and lookups find the first.
    void Add(TRpLibraryEntry entry);
    // Line of the name, ignoring letter case; -1 when absent.
    [[nodiscard]] int IndexOf(std::string_view name) const;
    // A new element for the function, or a new error element "Unknown function : <name>".
    [[nodiscard]] std::unique_ptr<TRpEvElement> GetFunction(std::string_view name) const;
    // The entry of that line (from 0); nullptr when there is none.
    [[nodiscard]] virtual const TRpLibraryEntry* GetEntry(int index) const;
    [[nodiscard]] int Count() const { return static_cast<int>(entries_.size()); }

private:
    std::vector<TRpLibraryEntry> entries_;
};

class TRpFunctionLibrary : public TRpLibrary {};

// Registers the 21 built-in functions in their fixed order.
void RegisterBuiltInFunctions(TRpLibrary& library);

}  // namespace report::expr
