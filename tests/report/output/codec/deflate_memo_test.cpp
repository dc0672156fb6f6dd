#include "report/output/codec/deflate_memo.h"

#include "report/output/codec/deflate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace report::output {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Inputs of one size that differ in one byte only, as icons of one size do.
Bytes Icon(std::uint8_t mark, std::size_t size = 1024)
{
    Bytes bytes(size, 0x7F);
    bytes[size / 2] = mark;
    return bytes;
}

// Whatever was kept, each answer is the stream Deflate gives for that very input: inputs
// seen again, inputs that look alike, inputs pushed out and back, and inputs too large to keep.
TEST(DeflateMemo, EveryAnswerIsTheStreamOfThatInput)
{
    DeflateMemo memo(3, 4096);
    const std::vector<Bytes> inputs = {
        Icon(1),       Icon(2), Icon(1),       Icon(3), Icon(2), Icon(4), Icon(1),
        Icon(1, 8192), Icon(5), Icon(1, 8192), Icon(4), {},      Icon(2), Icon(3),
    };
    for (std::size_t i = 0; i < inputs.size(); ++i)
        EXPECT_EQ(memo.Deflated(inputs[i]), Deflate(inputs[i])) << "input " << i;
}

// A memo that keeps nothing still deflates.
TEST(DeflateMemo, AMemoOfNoInputsDeflatesEachTime)
{
    DeflateMemo memo(0, 4096);
    EXPECT_EQ(memo.Deflated(Icon(1)), Deflate(Icon(1)));
    EXPECT_EQ(memo.Deflated(Icon(2)), Deflate(Icon(2)));
}

}  // namespace
}  // namespace report::output
