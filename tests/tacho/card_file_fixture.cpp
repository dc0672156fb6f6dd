#include "tests/tacho/card_file_fixture.h"

#include "utility/paths.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <stdexcept>

namespace cardfiletest {

testsupport::CardBuilder PatternedCard(std::uint8_t events, std::uint8_t faults, std::uint16_t activityLength,
                                       std::uint16_t vehicles, std::uint8_t places)
{
    testsupport::CardBuilder card;
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

std::filesystem::path ScratchFolder::Path() const { return utility::PathFromQString(dir_.path()); }

std::vector<std::string> ScratchFolder::Entries(const std::filesystem::path& sub) const
{
    QDir dir(utility::PathToQString(Path() / sub));
    std::vector<std::string> names;
    for (const QString& name : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        names.push_back(name.toStdString());
    std::sort(names.begin(), names.end());
    return names;
}

void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes)
{
    QFile file(utility::PathToQString(path));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()))
        throw std::runtime_error("cannot write " + path.string());
}

Bytes ReadFileBytes(const std::filesystem::path& path)
{
    QFile file(utility::PathToQString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    return Bytes(data.begin(), data.end());
}

Bytes ImageBytes(const tacho::CardImageData& image) { return Bytes(image.begin(), image.end()); }

}  // namespace cardfiletest
