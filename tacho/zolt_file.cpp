#include "tacho/zolt_file.h"

#include "utility/cp1250.h"
#include "utility/paths.h"
#include "utility/syserror.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <filesystem>

namespace tacho {

bool ReadZoltFile(const std::filesystem::path& fileName, CardImageD7& record, std::string& error)
{
    // Only a plain file: opening a named pipe would block until another program writes to it.
    std::error_code ec;
    const auto status = std::filesystem::status(fileName, ec);
    if (!std::filesystem::exists(status)) {
        error = utility::SystemErrorText(ENOENT);
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        error = utility::Pl("To nie jest zwykły plik.");
        return false;
    }
    QFile file(utility::PathToQString(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        error = utility::QStringToCp1250(file.errorString());
        return false;
    }
    const QByteArray data = file.read(static_cast<qint64>(record.size()));
    if (file.error() != QFileDevice::NoError) {
        error = utility::QStringToCp1250(file.errorString());
        return false;
    }
    if (static_cast<std::size_t>(data.size()) < record.size()) {
        error = utility::Pl("Odczyt poza końcem pliku (") + std::to_string(data.size()) + utility::Pl(" z ") +
                std::to_string(record.size()) + utility::Pl(" bajtów)");
        return false;
    }
    std::copy_n(reinterpret_cast<const std::uint8_t*>(data.constData()), record.size(), record.begin());
    return true;
}

bool HasZoltExtension(const std::filesystem::path& fileName)
{
    std::string extension = fileName.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); });
    return extension == ".ZOLT";
}

}  // namespace tacho
