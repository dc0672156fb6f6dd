#include "tests/support/memory_table.h"

namespace testsupport {
namespace {

using report::expr::TRpFieldKind;

class MemoryField : public report::expr::TRpField {
public:
    MemoryField(const MemoryTable& table, std::size_t column, Column def)
        : table_(table), column_(column), def_(std::move(def))
    {}
    std::string FieldName() const override { return def_.name; }
    TRpFieldKind Kind() const override { return def_.kind; }
    std::string AsString() const override
    {
        const Cell& c = table_.CellAt(column_);
        return std::holds_alternative<std::string>(c) ? std::get<std::string>(c) : std::string();
    }
    std::int32_t AsInteger() const override
    {
        const Cell& c = table_.CellAt(column_);
        return std::holds_alternative<std::int32_t>(c) ? std::get<std::int32_t>(c) : 0;
    }
    double AsFloat() const override
    {
        const Cell& c = table_.CellAt(column_);
        return std::holds_alternative<double>(c) ? std::get<double>(c) : 0.0;
    }
    bool AsBoolean() const override
    {
        const Cell& c = table_.CellAt(column_);
        return std::holds_alternative<bool>(c) && std::get<bool>(c);
    }
    std::string AsBlob() const override
    {
        const Cell& c = table_.CellAt(column_);
        if (const auto* blob = std::get_if<Blob>(&c))
            return blob->bytes;
        return AsString();
    }

private:
    const MemoryTable& table_;
    std::size_t column_;
    Column def_;
};

}  // namespace

MemoryTable::MemoryTable(std::string name, std::vector<Column> columns, bool defaultFields)
    : name_(std::move(name)), columns_(std::move(columns)), defaultFields_(defaultFields)
{
    MakeFields();
}

void MemoryTable::MakeFields()
{
    fields_.clear();
    for (std::size_t i = 0; i < columns_.size(); ++i)
        fields_.push_back(std::make_unique<MemoryField>(*this, i, columns_[i]));
}

void MemoryTable::AddRow(std::vector<Cell> row)
{
    row.resize(columns_.size());
    rows_.push_back(std::move(row));
}

void MemoryTable::Reopen()
{
    if (defaultFields_)
        MakeFields();
    active_ = true;
}

void MemoryTable::Open()
{
    ++OpenCount;
    if (OnOpen)
        OnOpen(*this);
    Reopen();
    First();
}

void MemoryTable::Close()
{
    ++CloseCount;
    active_ = false;
}

void MemoryTable::First()
{
    row_ = 0;
    eof_ = false;
}

void MemoryTable::Next()
{
    if (row_ + 1 < rows_.size())
        ++row_;
    else
        eof_ = true;
}

void MemoryTable::Prior()
{
    eof_ = false;
    if (row_ > 0)
        --row_;
}

const Cell& MemoryTable::CellAt(std::size_t column) const
{
    static const Cell empty;
    if (!active_ || row_ >= rows_.size() || column >= rows_[row_].size())
        return empty;
    return rows_[row_][column];
}

report::expr::TRpField* MemoryTable::Field(int index)
{
    if (index < 0 || index >= FieldCount())
        return nullptr;
    return fields_[static_cast<std::size_t>(index)].get();
}

}  // namespace testsupport
