// Converts a folder of synthetic raw card images into KK1 files and compares the time with two
// copies of the same files: a plain copy, and a copy as durable as the conversion's own writes
// (each file written under a temporary name in the target folder, flushed with fsync, renamed
// into place, and the folder flushed). The first round warms the caches and is left out.
// Usage: kk1_conversion_bench [file count, default 2000] [rounds, default 3]
#include "bench/bench_run.h"
#include "tacho/card_image.h"
#include "tacho/kk1_conversion.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"

#include <QApplication>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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
    std::string surname = "Kierowca";
    surname += std::to_string(index);
    PutText(image, tacho::field::kHolderSurnameCodePage + 1, 35, surname);
    image[tacho::field::kHolderFirstNamesCodePage] = 1;
    PutText(image, tacho::field::kHolderFirstNamesCodePage + 1, 35, "Jan");
    // Appended in place: a literal prefixed to a temporary trips GCC 12's -Wrestrict (bug 105651).
    std::string number = "D";
    number += std::to_string(80'000'000'000LL + index);
    number += "00";
    PutText(image, tacho::field::kCardNumber, 16, number);
    return image;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Empty(const fs::path& folder)
{
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        fs::remove(entry.path());
}

bool WriteAll(int fd, const std::vector<char>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// One file copied the way the conversion writes: temporary name, fsync, rename, folder fsync.
bool DurableCopy(const fs::path& source, const fs::path& folder)
{
    std::ifstream in(source, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string name = ".";
    name += source.filename().string();
    name += ".tmp";
    const fs::path temporary = folder / name;
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || ::rename(temporary.c_str(), (folder / source.filename()).c_str()) != 0)
        return false;
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return false;
    const bool synced = ::fsync(dir) == 0;
    ::close(dir);
    return synced;
}

}  // namespace

int main(int argc, char** argv)
{
    bench::OffscreenUnlessAsked();
    QApplication app(argc, argv);
    const int count = bench::CountArgument(argc, argv, 1, 2'000);
    const int rounds = bench::CountArgument(argc, argv, 2, 3);
    QTemporaryDir scratch;
    if (!scratch.isValid() || count < 1 || rounds < 1)
        return 1;
    const fs::path root = scratch.path().toStdString();
    const fs::path source = root / "source";
    const fs::path plain = root / "plain";
    const fs::path durable = root / "durable";
    const fs::path kk1 = root / "KK1";
    for (const fs::path& folder : {source, plain, durable, kk1})
        fs::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        const tacho::CardImageData image = SyntheticCard(i);
        std::ofstream(source / ("card" + std::to_string(i) + ".bin"), std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    }

    SilentBoxes boxes;
    utility::SetMessageBoxes(&boxes);
    const fs::path picked = source / "card0.bin";
    std::vector<double> convert, plainCopy, durableCopy;
    std::size_t written = 0;
    for (int round = 0; round <= rounds; ++round) {
        for (const fs::path& folder : {plain, durable, kk1})
            Empty(folder);
        const auto t0 = std::chrono::steady_clock::now();
        tacho::ConvertFolderToKk1([&] { return picked; }, root);
        const auto t1 = std::chrono::steady_clock::now();
        for (const fs::directory_entry& entry : fs::directory_iterator(source))
            fs::copy_file(entry.path(), plain / entry.path().filename());
        const auto t2 = std::chrono::steady_clock::now();
        for (const fs::directory_entry& entry : fs::directory_iterator(source))
            if (!DurableCopy(entry.path(), durable)) {
                std::fprintf(stderr, "durable copy of %s failed\n", entry.path().c_str());
                return 1;
            }
        const auto t3 = std::chrono::steady_clock::now();
        written = 0;
        for ([[maybe_unused]] const fs::directory_entry& entry : fs::directory_iterator(kk1))
            ++written;
        if (written != static_cast<std::size_t>(count)) {
            std::fprintf(stderr, "round %d: %zu KK1 files written of %d\n", round, written, count);
            return 1;
        }
        if (round == 0)
            continue;
        convert.push_back(Seconds(t1 - t0));
        plainCopy.push_back(Seconds(t2 - t1));
        durableCopy.push_back(Seconds(t3 - t2));
    }
    utility::SetMessageBoxes(nullptr);

    const auto row = [count](const char* what, double seconds) {
        std::printf("| %-46s | %8.3f s | %9.0f | %8.3f ms |\n", what, seconds, count / seconds, seconds * 1000 / count);
    };
    std::printf("%d card images of %zu bytes, %d rounds after a warm-up, medians per round\n\n", count,
                tacho::CardImageData{}.size(), rounds);
    std::printf("| %-46s | %10s | %9s | %11s |\n", "", "round", "files/s", "per file");
    std::printf("|------------------------------------------------|------------|-----------|-------------|\n");
    row("KK1 conversion (load, write, fsync, rename)", Median(convert));
    row("plain copy (copy_file)", Median(plainCopy));
    row("durable copy (temp, fsync, rename, dir fsync)", Median(durableCopy));
    std::printf("\nconversion / durable copy: %.2f, conversion / plain copy: %.2f\n",
                Median(convert) / Median(durableCopy), Median(convert) / Median(plainCopy));
    return 0;
}
