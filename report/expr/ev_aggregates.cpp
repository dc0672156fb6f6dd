#include "report/expr/ev_aggregates.h"

#include "report/expr/ev_messages.h"

namespace report::expr {
namespace {

TRpEvResult Wrong(const char* function) { return TRpEvResult::Error(FillMessage(msg::kWrongArguments, function)); }

}  // namespace

void TRpEvRunningFunction::Reset()
{
    started_ = false;
    running_ = TRpEvResult();
}

void TRpEvRunningFunction::Aggregate()
{
    if (ArgumentCount() != 1) {
        running_ = TRpEvResult::Error();
        return;
    }
    const TRpEvResult& a = Arg(0);
    if (!started_) {
        started_ = true;
        running_ = Start(a);
        return;
    }
    if (running_.Kind == rkError)
        return;
    Fold(a);
}

TRpEvResult TRpEvRunningFunction::Running() const { return started_ ? running_ : TRpEvResult::Integer(0); }

TRpEvResult TRpEvSumFunction::Start(const TRpEvResult& row) const
{
    return row.IsNumber() ? row : TRpEvResult::Error();
}

void TRpEvSumFunction::Fold(const TRpEvResult& a)
{
    if (a.Kind == rkString) {
        running_ = TRpEvResult::Error();
        return;
    }
    if (!a.IsNumber())
        return;  // Boolean and error rows are skipped
    if (running_.Kind == rkInteger && a.Kind == rkInteger) {
        running_.IntegerValue = static_cast<std::int32_t>(static_cast<std::uint32_t>(running_.IntegerValue) +
                                                          static_cast<std::uint32_t>(a.IntegerValue));
        return;
    }
    const double x = running_.AsFloat();
    const double y = a.AsFloat();
    running_ = TRpEvResult::Float(CheckOverflow(x + y, x, y));
}

void TRpEvSumFunction::Compute(TRpEvResult& result) { result = ArgumentCount() == 1 ? Sum() : Wrong("SUM"); }

void TRpEvAverageFunction::Reset()
{
    TRpEvSumFunction::Reset();
    count_ = 0;
    average_ = TRpEvResult::Float(0.0);
}

void TRpEvAverageFunction::Aggregate()
{
    TRpEvSumFunction::Aggregate();
    ++count_;
    const TRpEvResult sum = Sum();
    average_ = sum.IsNumber() ? TRpEvResult::Float(sum.AsFloat() / count_) : TRpEvResult::Error();
}

void TRpEvAverageFunction::Compute(TRpEvResult& result) { result = ArgumentCount() == 1 ? average_ : Wrong("AVERAGE"); }

void TRpEvExtremeFunction::Fold(const TRpEvResult& a)
{
    int order = 0;  // of the row against the running value
    if (running_.IsNumber() && a.IsNumber()) {
        order = a.AsFloat() < running_.AsFloat() ? -1 : (a.AsFloat() > running_.AsFloat() ? 1 : 0);
    } else if (running_.Kind == rkString && a.Kind == rkString) {
        order = CompareBytes(a.StringValue, running_.StringValue);
    } else if (running_.Kind == rkBoolean && a.Kind == rkBoolean) {
        order = static_cast<int>(a.BooleanValue) - static_cast<int>(running_.BooleanValue);
    } else {
        running_ = TRpEvResult::Error();  // rows of kinds that do not compare
        return;
    }
    if (greatest_ ? order > 0 : order < 0)
        running_ = a;
}

void TRpEvExtremeFunction::Compute(TRpEvResult& result) { result = ArgumentCount() == 1 ? Running() : Wrong(name_); }

void TRpEvCountFunction::Value(TRpFiFo& queue, TRpEvResult& result)
{
    struct Clear {
        TRpEvCountFunction& f;
        ~Clear() { f.FreeArguments(); }
    } clear{*this};
    if (!GetArguments(queue)) {
        result = TRpEvResult::Error();
        return;
    }
    if (ArgumentCount() > 0) {
        result = TRpEvResult::Error(std::string("COUNT - ") + msg::kTooManyArguments);
        return;
    }
    if (queue.Aggregating)
        ++count_;
    result = TRpEvResult::Integer(count_);
}

void TRpEvCountFunction::Reset() { count_ = 0; }

}  // namespace report::expr
