// Environments: named expressions (entries) that other expressions use by name. The report keeps
// one (its Functions: PAGENUMBER, COLUMNNUMBER, REPORTTITLE, ...) and the expression unit one
// global environment (AppStartTime, AppStartDate, AppName).
#pragma once

#include "report/expr/evaluator.h"
#include "utility/stringi.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace report::expr {

// One entry of an environment: an expression with its own evaluator.
class TRpEvEmbeddedFunction : public TRpEvElement {
public:
    explicit TRpEvEmbeddedFunction(std::string expression);
    // The value of the entry's expression; "Recursive calls not allowed" when the expression
    // reaches the entry itself. Raises as TRpEvaluator::Value does (unprepared, overflow).
    void Value(TRpFiFo& queue, TRpEvResult& result) override;
    // Resets the entry's evaluator.
    void Reset() override;

    [[nodiscard]] const std::string& Expression() const { return expression_; }
    [[nodiscard]] TRpEvaluator& Evaluator() { return *evaluator_; }

private:
    std::unique_ptr<TRpEvaluator> evaluator_;
    std::string expression_;
    bool busy_ = false;
};

// Stands in a queue for an environment entry. It does not keep the entry alive: an entry that
// has gone evaluates to "Unknown function : <name>".
class TRpEvElementWrapper : public TRpEvElement {
public:
    TRpEvElementWrapper(std::weak_ptr<TRpEvEmbeddedFunction> entry, std::string name)
        : entry_(std::move(entry)), name_(std::move(name))
    {}
    void Value(TRpFiFo& queue, TRpEvResult& result) override;

private:
    std::weak_ptr<TRpEvEmbeddedFunction> entry_;
    std::string name_;
};

class TRpEvEnvironment {
public:
    TRpEvEnvironment();
    TRpEvEnvironment(const TRpEvEnvironment&) = delete;
    TRpEvEnvironment& operator=(const TRpEvEnvironment&) = delete;
    ~TRpEvEnvironment();

    // Adds an entry under the upper-cased name; a name already there keeps its expression. In a
    // prepared environment the new entry is prepared at once.
    void AddFunction(std::string_view name, std::string_view expression);
    // Removes the entry of that name. Refused (false) while the environment is prepared, since
    // prepared expressions use it; false also when there is no such name.
    [[nodiscard]] bool DeleteFunction(std::string_view name);
    // Line `index` takes the upper-cased `name` (blanks around it dropped). Refused (false) for
    // no such line, an empty name, or a name another line has: lookups would find only the first.
    [[nodiscard]] bool RenameFunction(int index, std::string_view name);
    // Line `index` gets a new entry of `expression`. Refused (false) for no such line and while
    // the environment is prepared, since the new entry would not be.
    [[nodiscard]] bool ReplaceExpression(int index, std::string_view expression);
    // A new wrapper of the entry, or a new error element "Unknown function : <name>".
    [[nodiscard]] std::unique_ptr<TRpEvElement> GetFunction(std::string_view name) const;
    // The entry's value; an error result when there is no such entry.
    [[nodiscard]] TRpEvResult GetValue(std::string_view name) const;
    // The first element of the entry's prepared queue; nullptr when absent or unprepared.
    [[nodiscard]] TRpEvElement* EntryElement(std::string_view name) const;

    // Setting a constant element's value (the report keeps page number and title current).
    static void SetStringConstant(TRpEvElement* element, std::string_view text);
    static void SetIntegerConstant(TRpEvElement* element, std::int32_t value);
    static void SetResultConstant(TRpEvElement* element, const TRpEvResult& value);

    // Counted: the entries are prepared when the count becomes 1 and unprepared when it drops
    // back to 0.
    void Prepare();
    void Unprepare();
    [[nodiscard]] bool Prepared() const { return prepareCount_ > 0; }

    // The data sets the entries read fields from; as TRpEvaluator::Datasets.
    TRpDataSetList* Datasets();
    void SetDatasets(TRpDataSetList* list);

    [[nodiscard]] int Count() const { return static_cast<int>(lines_.size()); }
    [[nodiscard]] int IndexOf(std::string_view name) const;
    [[nodiscard]] const std::string& Name(int index) const;
    // The entry of a line; nullptr when the line has none yet.
    [[nodiscard]] TRpEvEmbeddedFunction* Entry(int index) const;

    // Stored form: the names, then "DATA", the expression texts in the same order.
    [[nodiscard]] utility::StringList Names() const;
    // Replaces every line by the names (upper-cased), without entries; refused (false) while
    // prepared.
    [[nodiscard]] bool SetNames(const utility::StringList& names);
    // One text per line: the entry's expression, empty for a line without entry.
    [[nodiscard]] utility::StringList Data() const;
    // Gives each line that has no entry yet an entry with the text of the same index; lines with
    // an entry keep it, texts beyond the last line are ignored.
    void ReadData(const utility::StringList& data);

private:
    struct Line {
        std::string name;
        std::shared_ptr<TRpEvEmbeddedFunction> entry;
    };

    void PrepareEntry(TRpEvEmbeddedFunction& entry);
    void Clear();

    std::vector<Line> lines_;
    int prepareCount_ = 0;
    std::unique_ptr<TRpDataSetList> ownedDatasets_;
    TRpDataSetList* datasets_ = nullptr;
};

}  // namespace report::expr
