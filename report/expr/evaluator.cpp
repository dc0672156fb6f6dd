// The parse of an expression text. The text is not tokenized: each level looks for the first
// operator of its level outside quotes, brackets and parentheses, queues it, and parses the two
// parts, the left one a level down, the right one at the same level.
#include "report/expr/evaluator.h"

#include "report/expr/ev_environment.h"
#include "report/expr/ev_library.h"
#include "report/expr/ev_messages.h"
#include "report/expr/expr_unit.h"
#include "utility/cp1250.h"
#include "utility/rp_error.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>

namespace report::expr {
namespace {

constexpr std::size_t kFactorCut = 255;

struct Split {
    std::size_t pos;     // of the operator, from 0
    std::size_t length;  // of the operator text
    TRpEvOperator op;
};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

// True when the blank at `i` is followed by `word` and a blank, inside the text.
bool WordAt(std::string_view text, std::size_t i, std::string_view word)
{
    if (text[i] != ' ' || i + word.size() + 1 >= text.size())
        return false;
    for (std::size_t k = 0; k < word.size(); ++k)
        if (Lower(text[i + 1 + k]) != word[k])
            return false;
    return text[i + 1 + word.size()] == ' ';
}

// Tracks quotes, square brackets and parentheses while a text is walked from its start.
class Nesting {
public:
    void Step(char c)
    {
        if (c == '[' && !inQuote_ && !inBracket_)
            inBracket_ = true;
        else if (c == ']' && inBracket_ && !inQuote_)
            inBracket_ = false;
        else if (c == '\'' && !inBracket_)
            inQuote_ = !inQuote_;
        else if (c == '(' && !inQuote_ && !inBracket_)
            ++depth_;
        else if (c == ')' && !inQuote_ && !inBracket_)
            --depth_;
    }
    [[nodiscard]] bool Outside() const { return depth_ == 0 && !inQuote_ && !inBracket_; }
    [[nodiscard]] int Depth() const { return depth_; }

private:
    int depth_ = 0;
    bool inQuote_ = false;
    bool inBracket_ = false;
};

// The first operator of a level: positions from the second to the one before the last.
template <typename Match>
std::optional<Split> FindOperator(std::string_view text, Match match)
{
    Nesting nesting;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        nesting.Step(text[i]);
        if (i >= 1 && nesting.Outside())
            if (std::optional<Split> s = match(text, i))
                return s;
    }
    return std::nullopt;
}

std::optional<Split> RelationalAt(std::string_view t, std::size_t i)
{
    switch (t[i]) {
    case '<':
        if (t[i + 1] == '>')
            return Split{i, 2, opUnequal};
        if (t[i + 1] == '=')
            return Split{i, 2, opLessOrEqual};
        return Split{i, 1, opLess};
    case '=':
        return Split{i, 1, opEqual};
    case '>':
        if (t[i + 1] == '=')
            return Split{i, 2, opGreaterOrEqual};
        return Split{i, 1, opGreater};
    default:
        return std::nullopt;
    }
}

std::optional<Split> AdditiveAt(std::string_view t, std::size_t i)
{
    if (t[i] == '+')
        return Split{i, 1, opPlus};
    if (t[i] == '-')
        return Split{i, 1, opMinus};
    if (WordAt(t, i, "or"))
        return Split{i, 4, opOr};
    return std::nullopt;
}

std::optional<Split> MultiplicativeAt(std::string_view t, std::size_t i)
{
    if (t[i] == '*')
        return Split{i, 1, opMul};
    if (t[i] == '/')
        return Split{i, 1, opDiv};
    if (WordAt(t, i, "and"))
        return Split{i, 5, opAnd};
    return std::nullopt;
}

// Leading and trailing blanks off; a text of blanks only keeps one blank.
std::string_view TrimBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return text.empty() ? text : text.substr(0, 1);
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Thrown out of the parse when it nests beyond kMaxExpressionDepth; Prepare catches it.
struct TooDeep {};

// The deepest parenthesis level outside quotes and square brackets.
int ParenthesisDepth(std::string_view text)
{
    Nesting nesting;
    int deepest = 0;
    for (const char c : text) {
        nesting.Step(c);
        deepest = std::max(deepest, nesting.Depth());
    }
    return deepest;
}

}  // namespace

// One level deeper into the parse for as long as it lives.
class TRpEvaluator::Nested {
public:
    explicit Nested(TRpEvaluator& evaluator) : evaluator_(evaluator)
    {
        if (++evaluator_.depth_ > kMaxExpressionDepth) {
            --evaluator_.depth_;
            throw TooDeep{};
        }
    }
    Nested(const Nested&) = delete;
    Nested& operator=(const Nested&) = delete;
    ~Nested() { --evaluator_.depth_; }

private:
    TRpEvaluator& evaluator_;
};

std::string SwapOperators(std::string_view text, char c1, char c2)
{
    std::string result(text);
    Nesting nesting;
    for (char& c : result) {
        nesting.Step(c);
        if (!nesting.Outside())
            continue;
        if (c == c1)
            c = c2;
        else if (c == c2)
            c = c1;
    }
    return result;
}

std::size_t FindArgumentSeparator(std::string_view text)
{
    Nesting nesting;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        nesting.Step(text[i]);
        if (nesting.Outside() && text[i] == ArgumentSeparator)
            return i;
    }
    return std::string_view::npos;
}

TRpEvaluator::TRpEvaluator() = default;

TRpEvaluator::~TRpEvaluator() { Unprepare(); }

void TRpEvaluator::Prepare(std::string_view expression)
{
    Unprepare();
    if (TRpEvEnvironment* global = GlobalEnvironment()) {
        globalGeneration_ = ExpressionUnitGeneration();
        global->Prepare();
    }
    queue_ = std::make_unique<TRpFiFo>();
    prepared_ = true;
    if (expression.size() > kMaxExpressionLength) {
        PutError(FillMessage(msg::kExpressionTooLong, std::to_string(kMaxExpressionLength)));
        return;
    }
    // Parentheses alone would nest the parse this deep; they are counted before any is parsed.
    if (ParenthesisDepth(expression) > kMaxExpressionDepth) {
        PutError(FillMessage(msg::kExpressionTooDeep, std::to_string(kMaxExpressionDepth)));
        return;
    }
    depth_ = 0;
    try {
        ParseExpression(expression.empty() ? std::string_view("' '") : expression);
    } catch (const TooDeep&) {
        queue_ = std::make_unique<TRpFiFo>();
        PutError(FillMessage(msg::kExpressionTooDeep, std::to_string(kMaxExpressionDepth)));
    }
}

void TRpEvaluator::Unprepare()
{
    if (!prepared_)
        return;
    queue_.reset();
    prepared_ = false;
    // Only the expression unit this prepare counted in is counted down; after close-down there
    // is none to call into.
    const std::uint64_t generation = globalGeneration_;
    globalGeneration_ = 0;
    if (generation != 0 && generation == ExpressionUnitGeneration())
        GlobalEnvironment()->Unprepare();
}

TRpEvResult TRpEvaluator::Value()
{
    if (!prepared_)
        throw ERpError(msg::kNotPrepared);
    queue_->Start();
    TRpEvElement* first = queue_->Get();
    TRpEvResult result;
    if (!first)
        return TRpEvResult::Error();
    first->Value(*queue_, result);
    return result;
}

TRpEvResult TRpEvaluator::UpdateAggregates()
{
    if (!prepared_)
        throw ERpError(msg::kNotPrepared);
    struct Aggregating {
        TRpFiFo& queue;
        explicit Aggregating(TRpFiFo& q) : queue(q) { queue.Aggregating = true; }
        ~Aggregating() { queue.Aggregating = false; }
    } aggregating(*queue_);
    return Value();
}

void TRpEvaluator::Reset()
{
    if (!queue_)
        return;
    for (std::size_t i = 0; i < queue_->Count(); ++i)
        queue_->At(i)->Reset();
}

bool TRpEvaluator::HasAggregates() const
{
    if (!queue_)
        return false;
    for (std::size_t i = 0; i < queue_->Count(); ++i)
        if (queue_->At(i)->IsAggreg)
            return true;
    return false;
}

TRpEvResult TRpEvaluator::Calculate(std::string_view expression)
{
    Prepare(expression);
    struct Unprepared {
        TRpEvaluator& e;
        ~Unprepared() { e.Unprepare(); }
    } unprepared{*this};
    return Value();
}

TRpEvElement* TRpEvaluator::FirstElement() const { return prepared_ && queue_ ? queue_->At(0) : nullptr; }

TRpDataSetList* TRpEvaluator::Datasets()
{
    if (!datasets_) {
        ownedDatasets_ = std::make_unique<TRpDataSetList>();
        datasets_ = ownedDatasets_.get();
    }
    return datasets_;
}

void TRpEvaluator::SetDatasets(TRpDataSetList* list)
{
    if (ownedDatasets_ && ownedDatasets_.get() != list)
        ownedDatasets_.reset();
    datasets_ = list;
}

void TRpEvaluator::PutError(std::string message)
{
    queue_->Put(std::make_unique<TRpEvElementError>(std::move(message)));
}

void TRpEvaluator::ParseExpression(std::string_view text)
{
    const std::optional<Split> s = FindOperator(text, RelationalAt);
    if (!s) {
        ParseSimple(text);
        return;
    }
    queue_->Put(std::make_unique<TRpEvElementOperator>(s->op));
    ParseSimple(text.substr(0, s->pos));
    ParseSimple(text.substr(s->pos + s->length));
}

void TRpEvaluator::ParseSimple(std::string_view text, bool swapped) { ParseChain(text, swapped, Chain::Additive); }

void TRpEvaluator::ParseTerm(std::string_view text) { ParseChain(text, false, Chain::Multiplicative); }

void TRpEvaluator::ParseChain(std::string_view text, bool swapped, Chain chain)
{
    // a-b+c is a-(b-c): after a minus the right part is parsed with its signs exchanged (after a
    // division, "*" and "/"). A chain is walked here in a loop, the exchange carried as a flag, so
    // the rest is never copied; only the parts between the operators are, while exchanged.
    const bool additive = chain == Chain::Additive;
    const auto at = additive ? AdditiveAt : MultiplicativeAt;
    const TRpEvOperator forward = additive ? opPlus : opMul;
    const TRpEvOperator inverse = additive ? opMinus : opDiv;
    const TRpEvOperator unswapped = additive ? opOr : opAnd;
    const auto parsePart = [&](std::string_view part) {
        if (additive)
            ParseTerm(part);
        else
            ParseFactor(part);
    };
    for (;;) {
        const std::optional<Split> s = FindOperator(text, at);
        const std::string_view part = s ? text.substr(0, s->pos) : text;
        TRpEvOperator op = s ? s->op : forward;
        if (s && swapped && op != unswapped)
            op = op == forward ? inverse : forward;
        if (s)
            queue_->Put(std::make_unique<TRpEvElementOperator>(op));
        if (swapped)
            parsePart(additive ? SwapOperators(part, '+', '-') : SwapOperators(part, '*', '/'));
        else
            parsePart(part);
        if (!s)
            return;
        text = text.substr(s->pos + s->length);
        swapped = swapped != (op == inverse);
    }
}

void TRpEvaluator::ParseFactor(std::string_view text)
{
    const std::string_view t = TrimBlanks(text);
    if (t.empty()) {
        PutError(FillMessage(msg::kErrorInExpression, ""));
        return;
    }
    if (t.size() >= 3 && Lower(t[0]) == 'n' && Lower(t[1]) == 'o' && Lower(t[2]) == 't') {
        const Nested nested(*this);
        queue_->Put(std::make_unique<TRpEvElementNot>());
        ParseSimple(t.substr(3));
        return;
    }
    const char first = t.front();
    const char last = t.back();
    if (IsDigit(first)) {
        ParseNumber(t.substr(0, kFactorCut));
    } else if (IsLetter(first)) {
        ParseCall(t);
    } else if (first == '[') {
        if (t.size() < 2 || last != ']')
            PutError(FillMessage(msg::kMissing, "]"));
        else
            ParseName(std::string(t.substr(1, t.size() - 2)));
    } else if (first == '\'') {
        if (last != '\'')
            PutError(FillMessage(msg::kMissing, "'"));
        else
            queue_->Put(std::make_unique<TRpEvElementString>(t.size() < 2 ? std::string()
                                                                          : std::string(t.substr(1, t.size() - 2))));
    } else if (first == '(') {
        if (t.size() < 2 || last != ')')
            PutError(FillMessage(msg::kMissing, ")"));
        else {
            const Nested nested(*this);
            ParseExpression(t.substr(1, t.size() - 2));
        }
    } else if (first == '+') {
        const Nested nested(*this);
        ParseFactor(t.substr(1));
    } else if (first == '-') {
        const Nested nested(*this);
        if (t.size() == 1) {
            ParseSimple("0-");  // an error: nothing follows the sign
        } else {
            // -x is 0-x: the minus, the zero, then x with its signs exchanged.
            queue_->Put(std::make_unique<TRpEvElementOperator>(opMinus));
            queue_->Put(std::make_unique<TRpEvElementConstant>(TRpEvResult::Integer(0)));
            ParseSimple(t.substr(1), true);
        }
    } else {
        PutError(FillMessage(msg::kErrorInExpression, t.substr(0, kFactorCut)));
    }
}

void TRpEvaluator::ParseNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    const bool isFloat = i < text.size();
    while (i < text.size() &&
           (IsDigit(text[i]) || text[i] == '+' || text[i] == '-' || text[i] == '.' || text[i] == 'E' || text[i] == 'e'))
        ++i;
    const std::string error = FillMessage(msg::kIllegalNumber, text);
    if (i < text.size()) {
        PutError(error);
        return;
    }
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (!isFloat) {
        std::int32_t value = 0;
        const auto r = std::from_chars(begin, end, value);
        if (r.ec == std::errc() && r.ptr == end) {
            queue_->Put(std::make_unique<TRpEvElementConstant>(TRpEvResult::Integer(value)));
            return;
        }
    }
    // The decimal point of an expression is always a full stop, whatever the format settings.
    double value = 0.0;
    const auto r = std::from_chars(begin, end, value);
    if (r.ec != std::errc() || r.ptr != end)
        PutError(error);
    else
        queue_->Put(std::make_unique<TRpEvElementConstant>(TRpEvResult::Float(value)));
}

void TRpEvaluator::ParseCall(std::string_view text)
{
    const std::size_t open = text.find('(');
    if (open == std::string_view::npos) {
        ParseFunction(std::string(text), std::string());
    } else if (text.back() == ')') {
        const Nested nested(*this);
        ParseFunction(std::string(text.substr(0, open)), std::string(text.substr(open + 1, text.size() - open - 2)));
    } else {
        ParseFunction(std::string(), std::string());
    }
}

void TRpEvaluator::ParseFunction(const std::string& name, const std::string& arguments)
{
    const std::string upper = utility::Cp1250UpperCase(name);
    TRpLibrary* library = FunctionLibrary();
    const int index = library ? library->IndexOf(upper) : -1;
    if (index < 0) {
        if (!arguments.empty())
            PutError(FillMessage(msg::kUnknownFunction, upper));
        else
            ParseName(upper);
        return;
    }
    queue_->Put(library->GetFunction(upper));
    std::string_view rest = arguments;
    for (std::size_t sep = FindArgumentSeparator(rest); sep != std::string_view::npos;
         sep = FindArgumentSeparator(rest)) {
        ParseExpression(rest.substr(0, sep));
        rest = rest.substr(sep + 1);
    }
    if (!rest.empty())
        ParseExpression(rest);
    queue_->Put(std::make_unique<TRpEvElementArgumentEnd>());
}

bool TRpEvaluator::ParseField(const std::string& name)
{
    const std::size_t dot = name.find('.');
    const std::string setName =
        dot == std::string::npos ? std::string() : utility::Cp1250UpperCase(name.substr(0, dot));
    const std::string fieldName = utility::Cp1250UpperCase(dot == std::string::npos ? name : name.substr(dot + 1));
    for (TRpDataSet* dataSet : *datasets_) {
        if (!dataSet)
            continue;
        if (!setName.empty() && utility::Cp1250UpperCase(dataSet->Name()) != setName)
            continue;
        const int index = dataSet->FieldIndex(fieldName);
        if (index >= 0) {
            queue_->Put(TRpEvElementDataField::CreateField(*dataSet, index));
            return true;
        }
        if (!setName.empty())
            return false;  // only the first data set of that name is asked
    }
    return false;
}

void TRpEvaluator::ParseName(const std::string& name)
{
    if (datasets_ && ParseField(name))
        return;
    std::unique_ptr<TRpEvElement> element;
    if (environment_) {
        element = environment_->GetFunction(name);
        if (dynamic_cast<TRpEvElementError*>(element.get()))
            element.reset();
    }
    if (!element) {
        TRpEvEnvironment* global = GlobalEnvironment();
        if (global)
            element = global->GetFunction(name);
        else
            element = std::make_unique<TRpEvElementError>(FillMessage(msg::kUnknownFunction, name));
    }
    queue_->Put(std::move(element));
}

}  // namespace report::expr
