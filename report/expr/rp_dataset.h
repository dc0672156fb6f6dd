// The data sets expressions and data-bound controls read fields from: named tables of typed
// fields. Report runs add the cursor.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace report::expr {

// The kind of a field's values.
enum class TRpFieldKind : std::uint8_t {
    String,
    Integer,
    SmallInt,
    Word,
    LargeInt,
    Bcd,
    FmtBcd,
    Float,
    Currency,
    Boolean,
    Date,
    Time,
    DateTime,
    TimeStamp,
    Blob,
    Other
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
    // The raw bytes of a blob field; other fields give their text.
    [[nodiscard]] virtual std::string AsBlob() const { return AsString(); }
};

// A parameter of a query: its name, the kind of value it takes and the value, if any.
struct TRpParam {
    // None until a value is assigned. Text in code page 1250; dates and times as day numbers.
    using ValueType = std::variant<std::monostate, std::string, std::int32_t, double, bool>;
    std::string Name;
    TRpFieldKind DataType = TRpFieldKind::String;
    ValueType Value;
    [[nodiscard]] bool IsNull() const { return std::holds_alternative<std::monostate>(Value); }
};

class TRpDataSet;

// Told when a data set it watches is destroyed, so it can drop its references to it.
class TRpDataSetWatcher {
public:
    virtual void DataSetGone(TRpDataSet& dataSet) = 0;

protected:
    TRpDataSetWatcher() = default;
    TRpDataSetWatcher(const TRpDataSetWatcher&) = default;
    TRpDataSetWatcher& operator=(const TRpDataSetWatcher&) = default;
    ~TRpDataSetWatcher() = default;
};

class TRpDataSet {
public:
    TRpDataSet() = default;
    TRpDataSet(const TRpDataSet&) = delete;
    TRpDataSet& operator=(const TRpDataSet&) = delete;
    // Tells every watcher.
    virtual ~TRpDataSet();
    // The component name that qualifies its fields in expressions ("TABLE1.CUSTNO").
    [[nodiscard]] virtual std::string Name() const = 0;
    [[nodiscard]] virtual bool Active() const = 0;
    [[nodiscard]] virtual int FieldCount() const = 0;
    // The field of that index (from 0); nullptr out of range. The data set owns it.
    [[nodiscard]] virtual TRpField* Field(int index) = 0;
    // True when the data set makes new field objects each time it opens, so a field object
    // kept from before must be fetched again by its index before it is read.
    [[nodiscard]] virtual bool DefaultFields() const = 0;

    // Opening runs the query again (with the current parameters); closing leaves no record.
    virtual void Open() = 0;
    virtual void Close() = 0;
    // The cursor: the first record, the next, the previous. Next on the last record stays on it
    // and sets Eof, which First and Prior clear; an empty or closed data set is always at Eof.
    // Prior on the first record stays there.
    virtual void First() = 0;
    virtual void Next() = 0;
    virtual void Prior() = 0;
    [[nodiscard]] virtual bool Eof() const = 0;
    // Records in the open data set; 0 when closed.
    [[nodiscard]] virtual std::int32_t RecordCount() const = 0;

    // The parameters of a query, in order; a data set without any is no query.
    [[nodiscard]] std::vector<TRpParam>& Params() { return params_; }
    [[nodiscard]] const std::vector<TRpParam>& Params() const { return params_; }
    // The first parameter of that name ignoring letter case, or nullptr.
    [[nodiscard]] TRpParam* FindParam(std::string_view name);

    // Index of the first field whose name equals `name` ignoring letter case; -1 when none.
    [[nodiscard]] int FieldIndex(std::string_view name);
    // That field, or nullptr.
    [[nodiscard]] TRpField* FindField(std::string_view name);

    // `watcher` is told when this data set is destroyed, until it stops watching. Watching
    // twice needs stopping twice.
    void Watch(TRpDataSetWatcher& watcher) { watchers_.push_back(&watcher); }
    void StopWatching(TRpDataSetWatcher& watcher);

private:
    std::vector<TRpDataSetWatcher*> watchers_;
    std::vector<TRpParam> params_;
};

// The data sets of a report, searched in order; entries are not owned.
using TRpDataSetList = std::vector<TRpDataSet*>;

// Data sets placed with a report, in the order they were added; one destroyed leaves the list.
class TRpDataSetRegistry final : public TRpDataSetWatcher {
public:
    TRpDataSetRegistry() = default;
    TRpDataSetRegistry(const TRpDataSetRegistry&) = delete;
    TRpDataSetRegistry& operator=(const TRpDataSetRegistry&) = delete;
    ~TRpDataSetRegistry();

    // Added once; adding again changes nothing.
    void Add(TRpDataSet& dataSet);
    void Remove(TRpDataSet& dataSet);
    [[nodiscard]] const TRpDataSetList& List() const { return list_; }
    void DataSetGone(TRpDataSet& dataSet) override;

private:
    TRpDataSetList list_;
};

}  // namespace report::expr
