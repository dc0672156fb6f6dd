// A small in-memory data set for the report engine's tests: typed columns, rows of values, a
// current row.
#pragma once

#include "report/expr/rp_dataset.h"

#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace testsupport {

// The bytes of a blob cell.
struct Blob {
    std::string bytes;
};

using Cell = std::variant<std::string, std::int32_t, double, bool, Blob>;

struct Column {
    std::string name;
    report::expr::TRpFieldKind kind;
};

class MemoryTable : public report::expr::TRpDataSet {
public:
    // With `defaultFields` the table makes new field objects at every Reopen, as a data set
    // without persistent fields does.
    MemoryTable(std::string name, std::vector<Column> columns, bool defaultFields = false);

    void AddRow(std::vector<Cell> row);
    void ClearRows() { rows_.clear(); }
    void SetRow(std::size_t row) { row_ = row; }
    void SetActive(bool active) { active_ = active; }
    // Called by Open before the cursor goes to the first row: a query fills its rows here.
    std::function<void(MemoryTable&)> OnOpen;
    // How often the table was opened and closed.
    int OpenCount = 0;
    int CloseCount = 0;
    // Closes and opens again; default fields are made anew (the old objects are freed).
    void Reopen();
    [[nodiscard]] const Cell& CellAt(std::size_t column) const;

    std::string Name() const override { return name_; }
    bool Active() const override { return active_; }
    int FieldCount() const override { return static_cast<int>(fields_.size()); }
    report::expr::TRpField* Field(int index) override;
    bool DefaultFields() const override { return defaultFields_; }
    void Open() override;
    void Close() override;
    void First() override;
    void Next() override;
    void Prior() override;
    bool Eof() const override { return !active_ || rows_.empty() || eof_; }
    std::int32_t RecordCount() const override { return active_ ? static_cast<std::int32_t>(rows_.size()) : 0; }

private:
    void MakeFields();

    std::string name_;
    std::vector<Column> columns_;
    bool defaultFields_;
    std::vector<std::unique_ptr<report::expr::TRpField>> fields_;
    std::vector<std::vector<Cell>> rows_;
    std::size_t row_ = 0;
    bool active_ = true;
    bool eof_ = false;
};

}  // namespace testsupport
