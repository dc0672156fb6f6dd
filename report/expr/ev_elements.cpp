#include "report/expr/ev_elements.h"

#include "report/expr/ev_messages.h"
#include "report/expr/rp_dataset.h"

#include <typeinfo>
#include <utility>
#include <vector>

namespace report::expr {

void TRpEvElement::Value(TRpFiFo& /*queue*/, TRpEvResult& /*result*/) {}

void TRpEvElement::Reset() {}

void TRpFiFo::Put(std::unique_ptr<TRpEvElement> element) { elements_.push_back(std::move(element)); }

TRpEvElement* TRpFiFo::Get()
{
    if (position_ >= elements_.size())
        return nullptr;
    return elements_[position_++].get();
}

TRpEvElement* TRpFiFo::At(std::size_t index) const
{
    return index < elements_.size() ? elements_[index].get() : nullptr;
}

namespace {

// Evaluates the next element of the queue; a queue that ends there gives an error.
TRpEvResult NextOperand(TRpFiFo& queue)
{
    TRpEvElement* element = queue.Get();
    if (!element)
        return TRpEvResult::Error();
    TRpEvResult value;
    element->Value(queue, value);
    return value;
}

}  // namespace

void TRpEvElementOperator::Value(TRpFiFo& queue, TRpEvResult& result)
{
    // A chain such as 1+2+3 is queued op 1 op 2 3: each right operand is the next operator. The
    // chain is walked in a loop, its left operands kept, and folded from its end, so a long
    // chain costs no stack; the operands are evaluated and combined in the same order.
    std::vector<std::pair<TRpEvOperator, TRpEvResult>> pending;
    TRpEvOperator op = op_;
    TRpEvResult right;
    for (;;) {
        TRpEvResult left = NextOperand(queue);
        TRpEvElement* next = queue.Get();
        if (next && typeid(*next) == typeid(TRpEvElementOperator)) {
            pending.emplace_back(op, std::move(left));
            op = static_cast<TRpEvElementOperator*>(next)->op_;
            continue;
        }
        if (next)
            next->Value(queue, right);
        else
            right = TRpEvResult::Error();
        right = ApplyOperator(op, std::move(left), std::move(right));
        break;
    }
    while (!pending.empty()) {
        right = ApplyOperator(pending.back().first, std::move(pending.back().second), std::move(right));
        pending.pop_back();
    }
    result = std::move(right);
}

void TRpEvElementNot::Value(TRpFiFo& queue, TRpEvResult& result)
{
    const TRpEvResult operand = NextOperand(queue);
    if (operand.Kind == rkBoolean)
        result = TRpEvResult::Boolean(!operand.BooleanValue);
    else
        result = TRpEvResult::Error(msg::kInvalidNot);
}

void TRpEvElementConstant::Value(TRpFiFo& /*queue*/, TRpEvResult& result) { result = value_; }

void TRpEvElementString::Value(TRpFiFo& /*queue*/, TRpEvResult& result) { result = TRpEvResult::String(text_); }

TRpEvElementDataField::TRpEvElementDataField(TRpDataSet& dataSet, int index, TRpField* field, std::string name)
    : dataSet_(dataSet), index_(index), field_(field), name_(std::move(name))
{}

std::unique_ptr<TRpEvElementDataField> TRpEvElementDataField::CreateField(TRpDataSet& dataSet, int index)
{
    TRpField* field = dataSet.Field(index);
    std::string name = field ? field->FieldName() : std::string();
    return std::unique_ptr<TRpEvElementDataField>(new TRpEvElementDataField(dataSet, index, field, std::move(name)));
}

void TRpEvElementDataField::Value(TRpFiFo& /*queue*/, TRpEvResult& result)
{
    // Fields the data set makes itself are new objects after every open: the kept one may be gone.
    TRpField* field = dataSet_.DefaultFields() ? dataSet_.Field(index_) : field_;
    if (!field) {
        result = TRpEvResult::Error(FillMessage(msg::kUnknownFunction, name_));
        return;
    }
    switch (field->Kind()) {
    case TRpFieldKind::String:
    case TRpFieldKind::Date:
    case TRpFieldKind::Time:
    case TRpFieldKind::DateTime:
    case TRpFieldKind::TimeStamp:
        result = TRpEvResult::String(field->AsString());
        break;
    case TRpFieldKind::Integer:
    case TRpFieldKind::SmallInt:
    case TRpFieldKind::Word:
        result = TRpEvResult::Integer(field->AsInteger());
        break;
    case TRpFieldKind::Bcd:
    case TRpFieldKind::FmtBcd:
    case TRpFieldKind::Float:
    case TRpFieldKind::Currency:
        result = TRpEvResult::Float(field->AsFloat());
        break;
    case TRpFieldKind::Boolean:
        result = TRpEvResult::Boolean(field->AsBoolean());
        break;
    default:
        result = TRpEvResult::Error(FillMessage(msg::kUnknownFieldType, field->FieldName()));
        break;
    }
}

void TRpEvElementError::Value(TRpFiFo& /*queue*/, TRpEvResult& result) { result = TRpEvResult::Error(message_); }

void TRpEvElementArgumentEnd::Value(TRpFiFo& /*queue*/, TRpEvResult& result) { result = TRpEvResult::Error(); }

void TRpEvElementFunction::Value(TRpFiFo& queue, TRpEvResult& result)
{
    // The argument list lives for one evaluation, also when an argument raises.
    struct Clear {
        TRpEvElementFunction& f;
        ~Clear() { f.FreeArguments(); }
    } clear{*this};
    if (!GetArguments(queue)) {
        result = TRpEvResult::Error();
        return;
    }
    if (queue.Aggregating)
        Aggregate();
    Compute(result);
}

void TRpEvElementFunction::Aggregate() {}

void TRpEvElementFunction::Compute(TRpEvResult& result) { result = TRpEvResult::Error(); }

bool TRpEvElementFunction::GetArguments(TRpFiFo& queue)
{
    arguments_.clear();
    for (;;) {
        TRpEvElement* element = queue.Get();
        if (!element)
            return false;
        if (dynamic_cast<TRpEvElementArgumentEnd*>(element))
            return true;
        TRpEvResult value;
        element->Value(queue, value);
        arguments_.push_back(std::move(value));
    }
}

}  // namespace report::expr
