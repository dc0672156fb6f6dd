#include "report/expr/ev_environment.h"

#include "report/expr/ev_messages.h"
#include "report/expr/expr_unit.h"
#include "utility/cp1250.h"
#include "utility/stringi.h"

#include <algorithm>

namespace report::expr {
namespace {

// Set while an environment unprepares its entries: the global environment's unprepares that the
// entries' evaluators make then are skipped, so global entries, once prepared, stay prepared.
bool g_unprepareGuard = false;

}  // namespace

TRpEvEmbeddedFunction::TRpEvEmbeddedFunction(std::string expression)
    : evaluator_(std::make_unique<TRpEvaluator>()), expression_(std::move(expression))
{}

void TRpEvEmbeddedFunction::Value(TRpFiFo& /*queue*/, TRpEvResult& result)
{
    if (busy_) {
        result = TRpEvResult::Error(msg::kRecursiveCall);
        return;
    }
    struct Busy {
        bool& flag;
        explicit Busy(bool& f) : flag(f) { flag = true; }
        ~Busy() { flag = false; }
    } busy(busy_);
    result = evaluator_->Value();
}

void TRpEvEmbeddedFunction::Reset() { evaluator_->Reset(); }

void TRpEvElementWrapper::Value(TRpFiFo& queue, TRpEvResult& result)
{
    if (const std::shared_ptr<TRpEvEmbeddedFunction> entry = entry_.lock())
        entry->Value(queue, result);
    else
        result = TRpEvResult::Error(FillMessage(msg::kUnknownFunction, name_));
}

TRpEvEnvironment::TRpEvEnvironment() = default;

TRpEvEnvironment::~TRpEvEnvironment() { Clear(); }

void TRpEvEnvironment::Clear()
{
    while (!lines_.empty())
        lines_.pop_back();
}

int TRpEvEnvironment::IndexOf(std::string_view name) const
{
    const std::string wanted = utility::Cp1250UpperCase(name);
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].name == wanted)
            return static_cast<int>(i);
    return -1;
}

const std::string& TRpEvEnvironment::Name(int index) const { return lines_.at(static_cast<std::size_t>(index)).name; }

TRpEvEmbeddedFunction* TRpEvEnvironment::Entry(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return lines_[static_cast<std::size_t>(index)].entry.get();
}

void TRpEvEnvironment::AddFunction(std::string_view name, std::string_view expression)
{
    if (IndexOf(name) >= 0)
        return;
    auto entry = std::make_shared<TRpEvEmbeddedFunction>(std::string(expression));
    lines_.push_back(Line{utility::Cp1250UpperCase(name), entry});
    if (Prepared())
        PrepareEntry(*entry);
}

bool TRpEvEnvironment::DeleteFunction(std::string_view name)
{
    const int index = IndexOf(name);
    if (Prepared() || index < 0)
        return false;
    lines_.erase(lines_.begin() + index);
    return true;
}

bool TRpEvEnvironment::RenameFunction(int index, std::string_view name)
{
    if (index < 0 || index >= Count())
        return false;
    const std::string upper = utility::Cp1250UpperCase(utility::TrimBoth(name));
    const int existing = IndexOf(upper);
    if (upper.empty() || (existing >= 0 && existing != index))
        return false;
    lines_[static_cast<std::size_t>(index)].name = upper;
    return true;
}

bool TRpEvEnvironment::ReplaceExpression(int index, std::string_view expression)
{
    if (index < 0 || index >= Count() || Prepared())
        return false;
    lines_[static_cast<std::size_t>(index)].entry = std::make_shared<TRpEvEmbeddedFunction>(std::string(expression));
    return true;
}

std::unique_ptr<TRpEvElement> TRpEvEnvironment::GetFunction(std::string_view name) const
{
    const int index = IndexOf(name);
    if (!Entry(index))
        return std::make_unique<TRpEvElementError>(FillMessage(msg::kUnknownFunction, name));
    const Line& line = lines_[static_cast<std::size_t>(index)];
    return std::make_unique<TRpEvElementWrapper>(line.entry, line.name);
}

TRpEvResult TRpEvEnvironment::GetValue(std::string_view name) const
{
    TRpEvEmbeddedFunction* entry = Entry(IndexOf(name));
    if (!entry)
        return TRpEvResult::Error();
    TRpFiFo unused;
    TRpEvResult result;
    entry->Value(unused, result);
    return result;
}

TRpEvElement* TRpEvEnvironment::EntryElement(std::string_view name) const
{
    TRpEvEmbeddedFunction* entry = Entry(IndexOf(name));
    return entry ? entry->Evaluator().FirstElement() : nullptr;
}

void TRpEvEnvironment::SetStringConstant(TRpEvElement* element, std::string_view text)
{
    if (auto* s = dynamic_cast<TRpEvElementString*>(element))
        s->SetText(std::string(text));
}

void TRpEvEnvironment::SetIntegerConstant(TRpEvElement* element, std::int32_t value)
{
    if (auto* c = dynamic_cast<TRpEvElementConstant*>(element))
        c->SetResult(TRpEvResult::Integer(value));
}

void TRpEvEnvironment::SetResultConstant(TRpEvElement* element, const TRpEvResult& value)
{
    if (auto* c = dynamic_cast<TRpEvElementConstant*>(element))
        c->SetResult(value);
    else if (auto* s = dynamic_cast<TRpEvElementString*>(element); s && value.Kind == rkString)
        s->SetText(value.StringValue);
}

void TRpEvEnvironment::PrepareEntry(TRpEvEmbeddedFunction& entry)
{
    TRpEvaluator& evaluator = entry.Evaluator();
    evaluator.SetDatasets(Datasets());
    evaluator.SetEnvironment(this);
    evaluator.Prepare(entry.Expression());
}

void TRpEvEnvironment::Prepare()
{
    if (++prepareCount_ != 1)
        return;
    for (const Line& line : lines_)
        if (line.entry)
            PrepareEntry(*line.entry);
}

void TRpEvEnvironment::Unprepare()
{
    if ((this == GlobalEnvironment() && g_unprepareGuard) || prepareCount_ == 0)
        return;
    struct Guard {
        bool previous = g_unprepareGuard;
        Guard() { g_unprepareGuard = true; }
        ~Guard() { g_unprepareGuard = previous; }
    } guard;
    if (--prepareCount_ > 0)
        return;
    for (const Line& line : lines_)
        if (line.entry)
            line.entry->Evaluator().Unprepare();
}

TRpDataSetList* TRpEvEnvironment::Datasets()
{
    if (!datasets_) {
        ownedDatasets_ = std::make_unique<TRpDataSetList>();
        datasets_ = ownedDatasets_.get();
    }
    return datasets_;
}

void TRpEvEnvironment::SetDatasets(TRpDataSetList* list)
{
    if (ownedDatasets_ && ownedDatasets_.get() != list)
        ownedDatasets_.reset();
    datasets_ = list;
}

utility::StringList TRpEvEnvironment::Names() const
{
    utility::StringList names;
    for (const Line& line : lines_)
        names.push_back(line.name);
    return names;
}

bool TRpEvEnvironment::SetNames(const utility::StringList& names)
{
    if (Prepared())
        return false;
    Clear();
    for (const std::string& name : names)
        lines_.push_back(Line{utility::Cp1250UpperCase(name), nullptr});
    return true;
}

utility::StringList TRpEvEnvironment::Data() const
{
    utility::StringList data;
    for (const Line& line : lines_)
        data.push_back(line.entry ? line.entry->Expression() : std::string());
    return data;
}

void TRpEvEnvironment::ReadData(const utility::StringList& data)
{
    const std::size_t n = std::min(data.size(), lines_.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (lines_[i].entry)
            continue;
        lines_[i].entry = std::make_shared<TRpEvEmbeddedFunction>(data[i]);
        if (Prepared())
            PrepareEntry(*lines_[i].entry);
    }
}

}  // namespace report::expr
