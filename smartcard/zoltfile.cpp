#include "smartcard/zoltfile.h"

#include "utility/cp1250.h"
#include "utility/datetime.h"
#include "utility/stringi.h"

#include <QDateTime>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <system_error>

namespace smartcard {

namespace {

// Far beyond any real clash: each attempt adds one random character.
constexpr int kMaxNameAttempts = 32;

std::string FileError(const std::string& what, const std::filesystem::path& path, int error)
{
    return utility::Pl(what) + utility::Utf8ToCp1250(path.string()) + " (" + std::strerror(error) + ")";
}

} // namespace

double CurrentDayNumber()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return utility::EncodeDate(d.year(), d.month(), d.day()) +
           utility::EncodeTime(t.hour(), t.minute(), t.second(), t.msec());
}

std::string ZoltFileName(double now, const TZoltHolder& holder, const std::string& suffix)
{
    const std::string date = utility::DateToYYYYMMDD(now).substr(2, 6);
    const std::string time = utility::RemoveSpaces(utility::RemoveChar(utility::TimeOfDayToHHMM(now), ':'));
    const std::string name = "_" + holder.pesel + holder.surname.substr(0, 10) + holder.firstNames.substr(0, 1);
    return date + time + utility::RemoveCharsOf(utility::ForbiddenFileNameChars(), name + suffix) + ".zolt";
}

std::filesystem::path MakeZoltFilePath(const std::filesystem::path& folder, double now, const TZoltHolder& holder,
                                       const std::function<std::string(int)>& randomText)
{
    for (int n = 0; n < kMaxNameAttempts; ++n) {
        const std::string suffix = n == 0 ? std::string() : "_" + randomText(n);
        const std::filesystem::path path = folder / utility::Cp1250ToUtf8(ZoltFileName(now, holder, suffix));
        std::error_code ec;
        if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec)))
            return path;
    }
    throw std::runtime_error(utility::Pl("Nie znaleziono wolnej nazwy pliku w katalogu ") +
                             utility::Utf8ToCp1250(folder.string()));
}

void WriteZoltFile(const std::filesystem::path& path, std::span<const std::uint8_t> record)
{
    std::filesystem::path temp = path;
    // A random part keeps a temporary file left over by a crash from blocking this one.
    temp += "." + utility::RandomAlphanumeric(8) + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "wbx");
    if (f == nullptr)
        throw std::runtime_error(FileError("Nie można utworzyć pliku ", temp, errno));
    const bool written = std::fwrite(record.data(), 1, record.size(), f) == record.size();
    const int writeError = errno;
    const bool closed = std::fclose(f) == 0;
    const int closeError = errno;
    std::error_code ec;
    if (!written || !closed) {
        std::filesystem::remove(temp, ec);
        throw std::runtime_error(FileError("Błąd zapisu pliku ", temp, written ? closeError : writeError));
    }
    // The free name was picked just before; a file that appeared since is kept.
    if (std::filesystem::exists(std::filesystem::symlink_status(path, ec))) {
        std::filesystem::remove(temp, ec);
        throw std::runtime_error(FileError("Plik już istnieje: ", path, EEXIST));
    }
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        throw std::runtime_error(FileError("Nie można nadać nazwy plikowi ", path, ec.value()));
    }
}

} // namespace smartcard
