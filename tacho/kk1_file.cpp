#include "tacho/kk1_file.h"

#include "tacho/card_blocks.h"

#include <array>

namespace tacho {

namespace {

struct Kk1Block {
    std::uint16_t fileId;
    std::size_t efSlot;
};

// The first block carries EF IC's 8 bytes under the identifier 0002, as readers of these
// files have always found it.
constexpr std::array<Kk1Block, 15> kKk1Blocks = {{
    {0x0002, 1},
    {0x0501, 2},
    {0xC100, 3},
    {0xC108, 4},
    {0x0520, 5},
    {0x050E, 6},
    {0x0521, 7},
    {0x0502, 8},
    {0x0503, 9},
    {0x0504, 10},
    {0x0505, 11},
    {0x0506, 12},
    {0x0507, 13},
    {0x0508, 14},
    {0x0522, 15},
}};

}  // namespace

bool BuildKk1FileBytes(const CardImageData& image, ByteBuffer& out, std::string& error)
{
    out.clear();
    error.clear();
    for (const Kk1Block& block : kKk1Blocks)
        if (!AppendDataBlock(out, image, block.fileId, block.efSlot, error))
            return false;
    return true;
}

}  // namespace tacho
