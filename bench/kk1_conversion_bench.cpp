// Converts a folder of synthetic raw card images into KK1 files and compares the time with
// copying the same bytes. Usage: kk1_conversion_bench [file count, default 2000]
#include "tacho/card_image.h"
#include "tacho/kk1_conversion.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"

#include <QApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// Answers every question with Yes and shows nothing.
class SilentBoxes final : public utility::MessageBoxes {
public:
    bool Show(utility::MessageKind kind, const std::string& text) override
    {
        if (kind != utility::MessageKind::Confirmation)
            std::fprintf(stderr, "box: %s\n", utility::Cp1250ToUtf8(text).c_str());
        return true;
    }
};

void PutText(tacho::CardImageData& image, std::size_t offset, std::size_t width, const std::string& text)
{
    for (std::size_t i = 0; i < width; ++i)
        image[offset + i] = static_cast<std::uint8_t>(i < text.size() ? text[i] : ' ');
}

// A card with the largest counts, its own holder name and card number, and filler bodies.
tacho::CardImageData SyntheticCard(int index)
{
    tacho::CardImageData image{};
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>((i * 31 + static_cast<std::size_t>(index)) % 251);
    image[tacho::field::kNoOfEventsPerType] = 12;
    image[tacho::field::kNoOfFaultsPerType] = 24;
    image[tacho::field::kActivityStructureLength] = 13'776 >> 8;
    image[tacho::field::kActivityStructureLength + 1] = 13'776 & 0xFF;
    image[tacho::field::kNoOfCardVehicleRecords] = 0;
    image[tacho::field::kNoOfCardVehicleRecords + 1] = 200;
    image[tacho::field::kNoOfCardPlaceRecords] = 112;
    image[tacho::field::kHolderSurnameCodePage] = 1;
    PutText(image, tacho::field::kHolderSurnameCodePage + 1, 35, "Kierowca" + std::to_string(index));
    image[tacho::field::kHolderFirstNamesCodePage] = 1;
    PutText(image, tacho::field::kHolderFirstNamesCodePage + 1, 35, "Jan");
    PutText(image, tacho::field::kCardNumber, 16, "D" + std::to_string(80'000'000'000LL + index) + "00");
    return image;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 2'000;
    QTemporaryDir scratch;
    if (!scratch.isValid() || count < 1)
        return 1;
    const fs::path root = scratch.path().toStdString();
    const fs::path source = root / "source";
    const fs::path copies = root / "copies";
    fs::create_directories(source);
    fs::create_directories(copies);
    for (int i = 0; i < count; ++i) {
        const tacho::CardImageData image = SyntheticCard(i);
        std::ofstream(source / ("card" + std::to_string(i) + ".bin"), std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    }

    SilentBoxes boxes;
    utility::SetMessageBoxes(&boxes);
    const fs::path picked = source / "card0.bin";
    const auto convertStart = std::chrono::steady_clock::now();
    tacho::ConvertFolderToKk1([&] { return picked; }, root);
    const double convert = Seconds(std::chrono::steady_clock::now() - convertStart);
    utility::SetMessageBoxes(nullptr);

    const auto copyStart = std::chrono::steady_clock::now();
    for (const fs::directory_entry& entry : fs::directory_iterator(source))
        fs::copy_file(entry.path(), copies / entry.path().filename());
    const double copy = Seconds(std::chrono::steady_clock::now() - copyStart);

    std::size_t written = 0;
    for ([[maybe_unused]] const fs::directory_entry& entry : fs::directory_iterator(root / "KK1"))
        ++written;
    std::printf("files: %d, KK1 files written: %zu\n", count, written);
    std::printf("conversion: %.3f s, %.0f files/s\n", convert, count / convert);
    std::printf("copy_file of the same files: %.3f s, %.0f files/s\n", copy, count / copy);
    return written == static_cast<std::size_t>(count) ? 0 : 1;
}
