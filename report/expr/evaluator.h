// The expression evaluator: turns an expression text into a queue of elements and evaluates it
// on demand. Names resolve in this order: built-in functions, fields of the data sets, the
// evaluator's environment, the global environment.
#pragma once

#include "report/expr/ev_elements.h"
#include "report/expr/rp_dataset.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace report::expr {

class TRpEvEnvironment;

// Function arguments are separated by this character.
inline constexpr char ArgumentSeparator = ',';
// Longer texts, and texts nested deeper (parentheses, calls, NOT, signs), are not parsed: their
// value is an error saying so. Long chains of operators are no nesting.
inline constexpr std::size_t kMaxExpressionLength = 65536;
inline constexpr int kMaxExpressionDepth = 256;

class TRpEvaluator {
public:
    TRpEvaluator();
    TRpEvaluator(const TRpEvaluator&) = delete;
    TRpEvaluator& operator=(const TRpEvaluator&) = delete;
    virtual ~TRpEvaluator();

    // Parses `expression` into a new queue (unpreparing first when prepared). Parse errors are
    // not raised: they become error elements, so the value is that error. An empty text is a
    // string of one blank. A text beyond kMaxExpressionLength or kMaxExpressionDepth is queued
    // as that one error.
    void Prepare(std::string_view expression);
    // Frees the queue; nothing when not prepared.
    void Unprepare();
    // Evaluates the prepared queue. Raises ERpError "Evaluator not prepared" when unprepared, and
    // ERpError on float overflow.
    [[nodiscard]] TRpEvResult Value();
    // Evaluates with the queue aggregating: aggregate functions fold in their argument.
    TRpEvResult UpdateAggregates();
    // Resets every element of the queue (aggregates start again).
    void Reset();
    [[nodiscard]] bool HasAggregates() const;
    // Prepare, Value, Unprepare (unprepared again also when Value raises).
    [[nodiscard]] TRpEvResult Calculate(std::string_view expression);

    [[nodiscard]] bool Prepared() const { return prepared_; }
    // The first element of the prepared queue; nullptr when unprepared or empty.
    [[nodiscard]] TRpEvElement* FirstElement() const;

    // The data sets searched for fields. Reading without a list set makes an owned empty one;
    // setting another list frees the owned one. A list set from outside is not owned.
    TRpDataSetList* Datasets();
    void SetDatasets(TRpDataSetList* list);
    // The environment searched for names after the fields; not owned.
    [[nodiscard]] TRpEvEnvironment* Environment() const { return environment_; }
    void SetEnvironment(TRpEvEnvironment* environment) { environment_ = environment; }

protected:
    // A name with its argument text (empty when none): a library function, else a name.
    virtual void ParseFunction(const std::string& name, const std::string& arguments);
    // A field of a data set, else an entry of the environments.
    virtual void ParseName(const std::string& name);

private:
    class Nested;
    void ParseExpression(std::string_view text);
    // `swapped`: the text's "+" and "-" at the top level stand for each other, as after a minus
    // sign (SwapOperators), without the text being copied.
    void ParseSimple(std::string_view text, bool swapped = false);
    void ParseTerm(std::string_view text);
    // A chain of terms ("+", "-", "or") or of factors ("*", "/", "and"), `swapped` as above for
    // its own two exchangeable operators.
    enum class Chain { Additive, Multiplicative };
    void ParseChain(std::string_view text, bool swapped, Chain chain);
    void ParseFactor(std::string_view text);
    void ParseNumber(std::string_view text);
    void ParseCall(std::string_view text);
    void PutError(std::string message);
    bool ParseField(const std::string& name);

    std::unique_ptr<TRpDataSetList> ownedDatasets_;
    TRpDataSetList* datasets_ = nullptr;
    std::unique_ptr<TRpFiFo> queue_;
    bool prepared_ = false;
    TRpEvEnvironment* environment_ = nullptr;
    std::uint64_t globalGeneration_ = 0;  // the expression unit this prepare counted in
    int depth_ = 0;                       // of the factor being parsed
};

// Exchanges c1 and c2 at parenthesis depth 0, outside quotes and square brackets.
std::string SwapOperators(std::string_view text, char c1, char c2);
// Position of the first argument separator at depth 0 outside quotes and brackets, the last
// character not examined; npos when none.
std::size_t FindArgumentSeparator(std::string_view text);

}  // namespace report::expr
