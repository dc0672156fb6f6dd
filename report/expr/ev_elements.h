// The elements of a prepared expression and the queue that holds them. The queue is in prefix
// order: an element, when evaluated, pulls its own operands from the queue.
#pragma once

#include "report/expr/ev_result.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace report::expr {

class TRpDataSet;
class TRpField;
class TRpFiFo;

class TRpEvElement {
public:
    TRpEvElement() = default;
    TRpEvElement(const TRpEvElement&) = delete;
    TRpEvElement& operator=(const TRpEvElement&) = delete;
    virtual ~TRpEvElement() = default;

    // Evaluates the element, pulling its operands from `queue`; the base leaves `result` as it is.
    virtual void Value(TRpFiFo& queue, TRpEvResult& result);
    // Clears running values (aggregates); the base does nothing.
    virtual void Reset();

    bool IsAggreg = false;
};

class TRpFiFo {
public:
    void Put(std::unique_ptr<TRpEvElement> element);
    // The element at the read position, which then advances; nullptr at the end.
    TRpEvElement* Get();
    void Start() { position_ = 0; }
    [[nodiscard]] std::size_t Count() const { return elements_.size(); }
    [[nodiscard]] TRpEvElement* At(std::size_t index) const;

    bool Aggregating = false;

private:
    std::vector<std::unique_ptr<TRpEvElement>> elements_;
    std::size_t position_ = 0;
};

enum TRpEvOperator : std::uint8_t {
    opLess,
    opLessOrEqual,
    opGreater,
    opGreaterOrEqual,
    opEqual,
    opUnequal,
    opPlus,
    opMinus,
    opOr,
    opMul,
    opDiv,
    opAnd
};

// "<", "<=", ..., "OR", "AND": the operator's text in messages.
const char* OperatorText(TRpEvOperator op);
// Harmonises two operand values and combines them; errors pass through, the left one first.
// Raises ERpError on float overflow.
TRpEvResult ApplyOperator(TRpEvOperator op, TRpEvResult left, TRpEvResult right);

class TRpEvElementOperator : public TRpEvElement {
public:
    explicit TRpEvElementOperator(TRpEvOperator op) : op_(op) {}
    void Value(TRpFiFo& queue, TRpEvResult& result) override;
    [[nodiscard]] TRpEvOperator Operator() const { return op_; }

private:
    TRpEvOperator op_;
};

// The negation "not x": its one operand must be Boolean.
class TRpEvElementNot : public TRpEvElement {
public:
    void Value(TRpFiFo& queue, TRpEvResult& result) override;
};

class TRpEvElementConstant : public TRpEvElement {
public:
    explicit TRpEvElementConstant(TRpEvResult value) : value_(std::move(value)) {}
    void Value(TRpFiFo& queue, TRpEvResult& result) override;
    [[nodiscard]] const TRpEvResult& Result() const { return value_; }
    void SetResult(TRpEvResult value) { value_ = std::move(value); }

private:
    TRpEvResult value_;
};

class TRpEvElementString : public TRpEvElement {
public:
    explicit TRpEvElementString(std::string text) : text_(std::move(text)) {}
    void Value(TRpFiFo& queue, TRpEvResult& result) override;
    [[nodiscard]] const std::string& Text() const { return text_; }
    void SetText(std::string text) { text_ = std::move(text); }

private:
    std::string text_;
};

// Reads one field of a data set's current record.
class TRpEvElementDataField : public TRpEvElement {
public:
    // The field of that index in `dataSet`, which must have one there.
    static std::unique_ptr<TRpEvElementDataField> CreateField(TRpDataSet& dataSet, int index);
    void Value(TRpFiFo& queue, TRpEvResult& result) override;

private:
    TRpEvElementDataField(TRpDataSet& dataSet, int index, TRpField* field, std::string name);

    TRpDataSet& dataSet_;
    int index_;
    TRpField* field_;
    std::string name_;
};

class TRpEvElementError : public TRpEvElement {
public:
    explicit TRpEvElementError(std::string message) : message_(std::move(message)) {}
    void Value(TRpFiFo& queue, TRpEvResult& result) override;
    [[nodiscard]] const std::string& Message() const { return message_; }

private:
    std::string message_;
};

// Marks the end of a function's arguments; evaluating it is an error.
class TRpEvElementArgumentEnd : public TRpEvElement {
public:
    void Value(TRpFiFo& queue, TRpEvResult& result) override;
};

// Base of the library's functions: evaluates the arguments up to the argument end, folds them
// into running values while the queue aggregates, then computes the result.
class TRpEvElementFunction : public TRpEvElement {
public:
    void Value(TRpFiFo& queue, TRpEvResult& result) override;
    // Folds the current arguments into running values; the base does nothing.
    virtual void Aggregate();
    // The function's result from the current arguments; the base gives an error without message.
    virtual void Compute(TRpEvResult& result);

protected:
    // Evaluates the queue's elements up to the argument end into the argument list; false when
    // the queue ends before one.
    bool GetArguments(TRpFiFo& queue);
    void FreeArguments() { arguments_.clear(); }
    // Copies argument `index` (from 0); callers check ArgumentCount first.
    void Argument(int index, TRpEvResult& result) const { result = Arg(index); }
    [[nodiscard]] const TRpEvResult& Arg(int index) const { return arguments_[static_cast<std::size_t>(index)]; }
    [[nodiscard]] int ArgumentCount() const { return static_cast<int>(arguments_.size()); }

private:
    std::vector<TRpEvResult> arguments_;
};

}  // namespace report::expr
