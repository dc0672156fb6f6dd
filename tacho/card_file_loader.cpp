#include "tacho/card_file_loader.h"

#include "tacho/ddd_block.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"
#include "utility/paths.h"

#include <QFile>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <memory>

namespace tacho {

namespace {

bool IsPlainFile(const std::filesystem::path& fileName)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(fileName, ec);
}

// Reads at most `limit` bytes; false when the file cannot be opened or read.
bool ReadWholeFile(const std::filesystem::path& fileName, std::size_t limit, ByteBuffer& bytes, QString& error)
{
    QFile file(utility::PathToQString(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    const QByteArray data = file.read(static_cast<qint64>(limit));
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return false;
    }
    bytes.assign(data.begin(), data.end());
    return true;
}

}  // namespace

bool CardImageFromBytes(std::span<const std::uint8_t> bytes, CardImageData& image)
{
    if (bytes.size() != kCardImageSize)
        return false;
    std::copy(bytes.begin(), bytes.end(), image.begin());
    return true;
}

bool OldCardImageFromBytes(std::span<const std::uint8_t> bytes, CardImageData& image)
{
    if (bytes.size() != kOldCardImageSize)
        return false;
    std::size_t from = 0;
    for (const EfSlot& slot : kEfSlots) {
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(from), slot.size,
                    image.begin() + static_cast<std::ptrdiff_t>(slot.body));
        from += slot.size;
    }
    return true;
}

bool ReadCardImageFile(const std::filesystem::path& fileName, CardImageData& image)
{
    ByteBuffer bytes;
    QString error;
    return ReadWholeFile(fileName, kCardImageSize + 1, bytes, error) && CardImageFromBytes(bytes, image);
}

bool ReadOldCardImageFile(const std::filesystem::path& fileName, CardImageData& image)
{
    ByteBuffer bytes;
    QString error;
    return ReadWholeFile(fileName, kOldCardImageSize + 1, bytes, error) && OldCardImageFromBytes(bytes, image);
}

bool StartsWithFirstDddBlock(std::span<const std::uint8_t> bytes)
{
    static constexpr std::uint8_t kFirstHeader[kDddBlockHeaderSize] = {0x00, 0x02, kDddDataBlock, 0x00, 25};
    return bytes.size() >= kDddBlockHeaderSize &&
           std::equal(std::begin(kFirstHeader), std::end(kFirstHeader), bytes.begin());
}

bool ParseDddFile(std::span<const std::uint8_t> bytes, CardImageData& image)
{
    // Signed, so that files shorter than a header give an empty scan instead of a wrapped bound.
    const std::ptrdiff_t size = static_cast<std::ptrdiff_t>(bytes.size());
    std::ptrdiff_t position = 0;
    int previous = -1;
    while (position < size - 5) {
        const std::uint8_t current = bytes[static_cast<std::size_t>(position++)];
        const std::optional<std::size_t> slot =
            previous < 0 ? std::nullopt : EfSlotOf(static_cast<std::uint16_t>(previous << 8 | current));
        if (!slot) {
            previous = current;
            continue;
        }
        previous = -1;
        // The loop bound leaves at least the three header bytes after a tag.
        const auto at = [&](std::ptrdiff_t i) { return bytes[static_cast<std::size_t>(i)]; };
        const std::uint8_t blockType = at(position);
        const std::ptrdiff_t length = ReadWordBE(at(position + 1), at(position + 2));
        position += 3;
        const std::ptrdiff_t left = size - position;
        if (blockType != kDddDataBlock) {
            position += std::min(length, left);
            continue;
        }
        if (length > left)
            return false;
        const EfSlot& target = kEfSlots[*slot];
        const std::ptrdiff_t stored = std::min<std::ptrdiff_t>(length, static_cast<std::ptrdiff_t>(target.size));
        std::copy_n(bytes.begin() + position, stored, image.begin() + static_cast<std::ptrdiff_t>(target.body));
        // An over-long block is skipped whole: its excess is data, not the start of a block.
        position += length;
    }
    return true;
}

LoadCardResult LoadCardFile(const std::filesystem::path& fileName, CardImageData& image, bool& isImageFile)
{
    image.fill(0);
    isImageFile = false;
    if (!IsPlainFile(fileName))
        return LoadCardResult::NoSuchFile;

    QFile file(utility::PathToQString(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        utility::ErrorBox(utility::Pl("Błąd otwierania pliku\r\n") + utility::PathToCp1250(fileName) + "\r\n" +
                          utility::QStringToCp1250(file.errorString()));
        return LoadCardResult::OpenFailed;
    }
    const qint64 size = file.size();
    if (size >= static_cast<qint64>(kCardFileSizeLimit))
        return LoadCardResult::TooLarge;
    const QByteArray data = file.read(kCardFileSizeLimit);
    const bool readWhole = file.error() == QFileDevice::NoError && data.size() == size;
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                              static_cast<std::size_t>(data.size()));

    // Fill a scratch image, so a failed load never leaves part of a file behind.
    auto loaded = std::make_unique<CardImageData>();
    loaded->fill(0);
    LoadCardResult result = LoadCardResult::Loaded;
    const bool imageSize =
        size == static_cast<qint64>(kCardImageSize) || size == static_cast<qint64>(kOldCardImageSize);
    // Our own writer produces card download files of exactly these sizes too.
    if (imageSize && !(readWhole && StartsWithFirstDddBlock(bytes))) {
        isImageFile = true;
        if (size == static_cast<qint64>(kCardImageSize)) {
            if (!readWhole || !CardImageFromBytes(bytes, *loaded))
                result = LoadCardResult::ImageReadFailed;
        } else if (!readWhole || !OldCardImageFromBytes(bytes, *loaded)) {
            result = LoadCardResult::OldImageReadFailed;
        }
    } else if (!readWhole || !ParseDddFile(bytes, *loaded)) {
        result = LoadCardResult::ParseFailed;
    }
    if (result == LoadCardResult::Loaded)
        image = *loaded;
    return result;
}

}  // namespace tacho
