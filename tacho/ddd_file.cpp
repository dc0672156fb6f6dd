#include "tacho/ddd_file.h"

#include "tacho/card_blocks.h"

#include <array>

namespace tacho {

namespace {

struct DddBlock {
    std::size_t efSlot;
    bool signature;
};

// The card-level files and the certificates are not signed; Card_Download and
// Current_Usage are not written.
constexpr std::array<DddBlock, 24> kDddBlocks = {{
    {0, false},  {1, false}, {2, false},  {2, true},  {3, false},  {4, false}, {5, false},  {5, true},
    {7, false},  {7, true},  {8, false},  {8, true},  {9, false},  {9, true},  {10, false}, {10, true},
    {11, false}, {11, true}, {12, false}, {12, true}, {14, false}, {14, true}, {15, false}, {15, true},
}};

}  // namespace

bool BuildDddFileBytes(const CardImageData& image, const SignatureAreaData& signatures, ByteBuffer& out,
                       std::string& error)
{
    out.clear();
    error.clear();
    for (const DddBlock& block : kDddBlocks) {
        const bool appended = block.signature
                                  ? AppendSignatureBlock(out, signatures, block.efSlot, error)
                                  : AppendDataBlock(out, image, kEfSlots[block.efSlot].fid, block.efSlot, error);
        if (!appended)
            return false;
    }
    return true;
}

}  // namespace tacho
