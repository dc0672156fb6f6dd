#include "tests/tacho/card_file_fixture.h"

#include "utility/cp1250.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <stdexcept>

namespace cardfiletest {

test_support::CardBuilder PatternedCard(std::uint8_t events, std::uint8_t faults, std::uint16_t activityLength,
                                        std::uint16_t vehicles, std::uint8_t places)
{
    test_support::CardBuilder card;
    for (std::size_t i = 0; i < tacho::kCardImageSize; ++i)
        card.Byte(i, static_cast<std::uint8_t>((i * 7 + i / 251) % 251 + 1));
    card.Counts(events, faults, activityLength, vehicles, places);
    card.Surname("Kowalski").FirstNames("Jan Maria").CardNumber("D8001011234500");
    return card;
}

tacho::SignatureAreaData ValidSignatures()
{
    tacho::SignatureAreaData area{};
    for (std::size_t slot = 0; slot < tacho::kSignatureCount; ++slot) {
        for (std::size_t i = 0; i < tacho::kSignatureLength; ++i)
            area[tacho::SignatureSlotOffset(slot) + i] = static_cast<std::uint8_t>(0x80 + slot * 5 + i);
        area[tacho::SignatureValidityOffset(slot)] = 1;
    }
    return area;
}

ScratchFolder::ScratchFolder()
{
    if (!dir_.isValid())
        throw std::runtime_error("no scratch folder");
}

std::string ScratchFolder::Path() const { return utility::QStringToCp1250(dir_.path()); }

std::string ScratchFolder::File(const std::string& name) const { return Path() + "/" + name; }

std::vector<std::string> ScratchFolder::Entries(const std::string& sub) const
{
    QDir dir(dir_.path() + (sub.empty() ? QString() : QStringLiteral("/") + utility::Cp1250ToQString(sub)));
    std::vector<std::string> names;
    for (const QString& name : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        names.push_back(utility::QStringToCp1250(name));
    std::sort(names.begin(), names.end());
    return names;
}

void WriteFileBytes(const std::string& path, const Bytes& bytes)
{
    QFile file(utility::Cp1250ToQString(path));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()))
        throw std::runtime_error("cannot write " + path);
}

Bytes ReadFileBytes(const std::string& path)
{
    QFile file(utility::Cp1250ToQString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    return Bytes(data.begin(), data.end());
}

Bytes ImageBytes(const tacho::CardImageData& image) { return Bytes(image.begin(), image.end()); }

} // namespace cardfiletest
