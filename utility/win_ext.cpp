// Settings strings over QSettings and the clipboard text.
#include "utility/win_ext.h"

#include "utility/cp1250.h"
#include "utility/paths.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSettings>
#include <QStringList>

#include <memory>
#include <optional>

namespace utility {
namespace {

struct KeyLocation {
    QString organisation;
    QString application;
    QString group;  // empty for the application's own key
};

std::optional<KeyLocation> ParseKeyPath(std::string_view keyPath)
{
    QString path = Cp1250ToQString(keyPath);
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const QStringList levels = path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (levels.size() < 3 || levels[0].compare(QLatin1String("Software"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    KeyLocation location{levels[1], levels[2], QString()};
    location.group = levels.mid(3).join(QLatin1Char('/'));
    return location;
}

bool ValidValueName(std::string_view valueName)
{
    return !valueName.empty() && valueName.find_first_of("\\/") == std::string_view::npos;
}

std::unique_ptr<QSettings> OpenStore(const KeyLocation& location)
{
#ifdef Q_OS_WIN
    constexpr QSettings::Format format = QSettings::NativeFormat;
#else
    constexpr QSettings::Format format = QSettings::IniFormat;
#endif
    return std::make_unique<QSettings>(format, QSettings::UserScope, location.organisation, location.application);
}

// Opens the key's group in `store`. An INI file cannot hold an empty group, so a sub key
// exists when it holds any value, the application key when its store exists.
bool OpenKey(QSettings& store, const KeyLocation& location, bool mayCreateKey)
{
    if (store.status() != QSettings::NoError)
        return false;
    bool exists = false;
    if (location.group.isEmpty()) {
        exists = !store.allKeys().isEmpty() || QFileInfo::exists(store.fileName());
    } else {
        store.beginGroup(location.group);
        exists = !store.allKeys().isEmpty();
        store.endGroup();
    }
    if (!exists && !mayCreateKey)
        return false;
    if (!location.group.isEmpty())
        store.beginGroup(location.group);
    return true;
}

QString g_ownClipboardText;
bool g_ownClipboardTextSet = false;

}  // namespace

namespace {

// The string value, or nothing when the key does not open or the value is no string.
std::optional<QString> ReadValue(std::string_view keyPath, std::string_view valueName, bool mayCreateKey)
{
    const auto location = ParseKeyPath(keyPath);
    if (!location || !ValidValueName(valueName))
        return std::nullopt;
    const auto store = OpenStore(*location);
    if (!OpenKey(*store, *location, mayCreateKey))
        return std::nullopt;
    const QVariant value = store->value(Cp1250ToQString(valueName));
    // Lists, byte arrays and other variants are not strings: the caller then uses its default.
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

bool WriteValue(std::string_view keyPath, std::string_view valueName, bool mayCreateKey, const QString& value)
{
    const auto location = ParseKeyPath(keyPath);
    if (!location || !ValidValueName(valueName))
        return false;
    const auto store = OpenStore(*location);
    if (!OpenKey(*store, *location, mayCreateKey) || !store->isWritable())
        return false;
    store->setValue(Cp1250ToQString(valueName), value);
    store->sync();
    return store->status() == QSettings::NoError;
}

}  // namespace

std::string RegReadString(RegistryRoot /*root*/, std::string_view keyPath, std::string_view valueName,
                          bool mayCreateKey)
{
    const std::optional<QString> value = ReadValue(keyPath, valueName, mayCreateKey);
    return value ? QStringToCp1250(*value) : std::string();
}

bool RegWriteString(RegistryRoot /*root*/, std::string_view keyPath, std::string_view valueName, bool mayCreateKey,
                    std::string_view value)
{
    return WriteValue(keyPath, valueName, mayCreateKey, Cp1250ToQString(value));
}

std::filesystem::path RegReadPath(RegistryRoot /*root*/, std::string_view keyPath, std::string_view valueName,
                                  bool mayCreateKey)
{
    const std::optional<QString> value = ReadValue(keyPath, valueName, mayCreateKey);
    return value ? PathFromQString(value->trimmed()) : std::filesystem::path();
}

bool RegWritePath(RegistryRoot /*root*/, std::string_view keyPath, std::string_view valueName, bool mayCreateKey,
                  const std::filesystem::path& value)
{
    return WriteValue(keyPath, valueName, mayCreateKey, PathToQString(value));
}

void SetClipboardText(std::string_view text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return;
    g_ownClipboardText = Cp1250ToQString(text);
    g_ownClipboardTextSet = true;
    clipboard->setText(g_ownClipboardText);
}

bool ClearClipboardTextIfOurs()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr || !g_ownClipboardTextSet)
        return false;
    if (clipboard->text() != g_ownClipboardText)
        return false;
    clipboard->setText(QString());
    g_ownClipboardText.clear();
    g_ownClipboardTextSet = false;
    return true;
}

}  // namespace utility
