// The data sets expressions read fields from: named tables of typed fields. Only what the
// evaluator needs is declared here; report runs add the cursor.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace report::engine {

// The kind of a field's values.
enum class TRpFieldKind : std::uint8_t {
    String, Integer, SmallInt, Word, LargeInt, Bcd, FmtBcd, Float, Currency, Boolean,
    Date, Time, DateTime, TimeStamp, Blob, Other
};

// One field of a data set; its values are those of the data set's current record.
class TRpField {
public:
    virtual ~TRpField() = default;
    [[nodiscard]] virtual std::string FieldName() const = 0;
    [[nodiscard]] virtual TRpFieldKind Kind() const = 0;
    // Text in code page 1250; for a date or time field its display text.
    [[nodiscard]] virtual std::string AsString() const = 0;
    [[nodiscard]] virtual std::int32_t AsInteger() const = 0;
    [[nodiscard]] virtual double AsFloat() const = 0;
    [[nodiscard]] virtual bool AsBoolean() const = 0;
};

class TRpDataSet {
public:
    virtual ~TRpDataSet() = default;
    // The component name that qualifies its fields in expressions ("TABLE1.CUSTNO").
    [[nodiscard]] virtual std::string Name() const = 0;
    [[nodiscard]] virtual bool Active() const = 0;
    [[nodiscard]] virtual int FieldCount() const = 0;
    // The field of that index (from 0); nullptr out of range. The data set owns it.
    [[nodiscard]] virtual TRpField* Field(int index) = 0;
    // True when the data set makes new field objects each time it opens, so a field object
    // kept from before must be fetched again by its index before it is read.
    [[nodiscard]] virtual bool DefaultFields() const = 0;

    // Index of the first field whose name equals `name` ignoring letter case; -1 when none.
    [[nodiscard]] int FieldIndex(std::string_view name);
    // That field, or nullptr.
    [[nodiscard]] TRpField* FindField(std::string_view name);
};

// The data sets of a report, searched in order; entries are not owned.
using TRpDataSetList = std::vector<TRpDataSet*>;

} // namespace report::engine
