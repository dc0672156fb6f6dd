#include "tests/app/card_file_window_fixture.h"

#include "tacho/ddd_file.h"
#include "tacho/zolt.h"

#include <QDir>
#include <QFileInfo>

#include <fstream>
#include <iterator>

namespace apptest {

Bytes DddBytes(const tacho::CardImageData& image)
{
    tacho::SignatureAreaData signatures{};
    for (std::size_t slot = 0; slot < tacho::kSignatureCount; ++slot)
        signatures[tacho::SignatureValidityOffset(slot)] = 1;
    tacho::ByteBuffer bytes;
    std::string error;
    EXPECT_TRUE(tacho::BuildDddFileBytes(image, signatures, bytes, error)) << error;
    return bytes;
}

Bytes ZoltBytes(const tacho::CardImageData& image)
{
    tacho::CardImageD7 record{};
    tacho::CardImageToD7(image, record, 0x5A);
    return {record.begin(), record.end()};
}

Bytes ImageBytes(const tacho::CardImageData& image) { return {image.begin(), image.end()}; }

void WriteFile(const std::filesystem::path& name, const Bytes& bytes)
{
    std::error_code error;
    std::filesystem::create_directories(name.parent_path(), error);
    std::ofstream out(name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    ASSERT_TRUE(out.good()) << name;
}

Bytes ReadFile(const std::filesystem::path& name)
{
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void CardFileWindowTest::SetUp()
{
    MainWindowTest::SetUp();
    tacho::CardImage = {};
}

void CardFileWindowTest::TearDown()
{
    tacho::CardImage = {};
    MainWindowTest::TearDown();
}

}  // namespace apptest
