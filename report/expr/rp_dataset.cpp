#include "report/expr/rp_dataset.h"

#include "utility/cp1250.h"

#include <algorithm>

namespace report::expr {

TRpDataSet::~TRpDataSet()
{
    const std::vector<TRpDataSetWatcher*> watchers = std::move(watchers_);
    for (TRpDataSetWatcher* watcher : watchers)
        watcher->DataSetGone(*this);
}

void TRpDataSet::StopWatching(TRpDataSetWatcher& watcher)
{
    const auto it = std::find(watchers_.begin(), watchers_.end(), &watcher);
    if (it != watchers_.end())
        watchers_.erase(it);
}

int TRpDataSet::FieldIndex(std::string_view name)
{
    const std::string wanted = utility::Cp1250UpperCase(name);
    for (int i = 0; i < FieldCount(); ++i) {
        const TRpField* field = Field(i);
        if (field && utility::Cp1250UpperCase(field->FieldName()) == wanted)
            return i;
    }
    return -1;
}

TRpField* TRpDataSet::FindField(std::string_view name)
{
    const int index = FieldIndex(name);
    return index < 0 ? nullptr : Field(index);
}

TRpParam* TRpDataSet::FindParam(std::string_view name)
{
    const std::string wanted = utility::Cp1250UpperCase(name);
    for (TRpParam& param : params_) {
        if (utility::Cp1250UpperCase(param.Name) == wanted)
            return &param;
    }
    return nullptr;
}

TRpDataSetRegistry::~TRpDataSetRegistry()
{
    for (TRpDataSet* dataSet : list_)
        dataSet->StopWatching(*this);
}

void TRpDataSetRegistry::Add(TRpDataSet& dataSet)
{
    if (std::find(list_.begin(), list_.end(), &dataSet) != list_.end())
        return;
    list_.push_back(&dataSet);
    dataSet.Watch(*this);
}

void TRpDataSetRegistry::Remove(TRpDataSet& dataSet)
{
    const auto it = std::find(list_.begin(), list_.end(), &dataSet);
    if (it == list_.end())
        return;
    list_.erase(it);
    dataSet.StopWatching(*this);
}

void TRpDataSetRegistry::DataSetGone(TRpDataSet& dataSet) { std::erase(list_, &dataSet); }

}  // namespace report::expr
