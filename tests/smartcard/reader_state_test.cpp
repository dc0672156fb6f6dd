#include "smartcard/reader_state.h"

#include <gtest/gtest.h>

using namespace smartcard;

namespace {

TEST(ReaderState, FlagsToSet)
{
    struct Case {
        DWORD flags;
        TReaderState expected;
    };
    const Case cases[] = {
        {0x122, {rsCardPresent, rsShared}},
        {0x12, {rsEmpty}},
        {0x420, {rsCardPresent, rsUnpowered}},
        {0x0, {}},
        {0x2, {}},
        {0x40, {}},
        {0x1, {rsIgnore}},
        {0xC, {rsReaderUnknown, rsUnavailable}},
        {0x3A0, {rsCardPresent, rsExclusive, rsShared, rsMute}},
        // Present replaces what came before it.
        {0x38, {rsCardPresent}},
        // pcsc-lite counts events in the upper 16 bits.
        {0x00050012, {rsEmpty}},
        {0x00030122, {rsCardPresent, rsShared}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SCardStateToReaderState(c.flags).Bits(), c.expected.Bits()) << std::hex << c.flags;
}

TEST(ReaderState, Dominant)
{
    struct Case {
        TReaderState set;
        TReaderStates expected;
    };
    const Case cases[] = {
        {{rsCardPresent, rsExclusive}, rsExclusive},
        {{rsEmpty}, rsEmpty},
        {{}, rsUnaware},
        {{rsIgnore}, rsUnaware},
        {{rsCardPresent}, rsCardPresent},
        {{rsCardPresent, rsMute}, rsMute},
        {{rsShared, rsUnpowered}, rsShared},
        {{rsNoReader, rsEmpty}, rsNoReader},
        {{rsUnavailable, rsEmpty}, rsUnavailable},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DominantReaderState(c.set), c.expected) << c.set.Bits();
}

TEST(ReaderState, ValueToSetAndTexts)
{
    EXPECT_EQ(ReaderStateToSet(rsExclusive), (TReaderState{rsExclusive, rsCardPresent}));
    EXPECT_EQ(ReaderStateToSet(rsUnpowered), (TReaderState{rsUnpowered, rsCardPresent}));
    EXPECT_EQ(ReaderStateToSet(rsMute), (TReaderState{rsMute}));
    EXPECT_EQ(ReaderStateToSet(rsEmpty), (TReaderState{rsEmpty}));

    EXPECT_EQ(ReaderStateText({rsCardPresent, rsExclusive}),
              "There is a card in the reader. The card is connected to in exclusive mode.");
    EXPECT_EQ(ReaderStateText({rsCardPresent, rsShared, rsUnpowered, rsMute}),
              "There is a card in the reader. The card is connected to in share mode. The card is unresponsive");
    EXPECT_EQ(ReaderStateText({rsEmpty}), "There is no card in the reader.");
    EXPECT_EQ(ReaderStateText({rsNoReader, rsEmpty}), "The object is not connected to any reader.");
    EXPECT_EQ(ReaderStateText({rsUnavailable}), "State of the reader is unknown to the Resource Manager");
    EXPECT_EQ(ReaderStateText({}), "");
}

TEST(ReaderState, EnumerationsToPcsc)
{
    EXPECT_EQ(DatabaseScopeToSCard(dsSystem), SCARD_SCOPE_SYSTEM);
    EXPECT_EQ(DatabaseScopeToSCard(dsUser), SCARD_SCOPE_USER);
    EXPECT_EQ(DatabaseScopeToSCard(dsNone), -1);
    EXPECT_EQ(ShareModeToSCard(smExclusive), SCARD_SHARE_EXCLUSIVE);
    EXPECT_EQ(ShareModeToSCard(smShared), SCARD_SHARE_SHARED);
    EXPECT_EQ(ShareModeToSCard(smDirect), SCARD_SHARE_DIRECT);
    EXPECT_EQ(ShareModeToSCard(smNone), -1);
    EXPECT_EQ(DispositionToSCard(diReset), SCARD_RESET_CARD);
    EXPECT_EQ(DispositionToSCard(diEject), SCARD_EJECT_CARD);
    EXPECT_EQ(DispositionToSCard(diSwallow), -1);
    EXPECT_EQ(ProtocolToSCard(prT0), SCARD_PROTOCOL_T0);
    EXPECT_EQ(ProtocolToSCard(prRaw), 4);
    EXPECT_EQ(ProtocolToSCard(prDefault), SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1);
    EXPECT_EQ(ProtocolToSCard(prNone), -1);

    struct Case {
        DWORD value;
        TProtocol protocol;
    };
    const Case cases[] = {{1, prT0},      {2, prT1},         {4, prRaw}, {0, prUndefined},
                          {3, prDefault}, {0x10000, prNone}, {8, prNone}};
    for (const Case& c : cases)
        EXPECT_EQ(SCardToProtocol(c.value), c.protocol) << c.value;
}

TEST(TSelectedReaderState, NewlySetFlags)
{
    TSelectedReaderState s;
    s.SetState(0x12);
    EXPECT_EQ(s.Current(), (TReaderState{rsEmpty}));
    EXPECT_EQ(s.NewlySet(), (TReaderState{rsEmpty}));
    s.SetState(0x22);
    EXPECT_EQ(s.PreviousRaw(), 0x12u);
    EXPECT_EQ(s.NewlySetRaw(), 0x20u);
    EXPECT_EQ(s.NewlySet(), (TReaderState{rsCardPresent}));
    s.SetState(0x22);
    EXPECT_TRUE(s.NewlySet().Empty());

    SCARD_READERSTATE record{};
    record.dwEventState = 0x122;
    record.cbAtr = 1000;  // never trusted beyond the record's field
    for (DWORD i = 0; i < sizeof record.rgbAtr; ++i)
        record.rgbAtr[i] = static_cast<unsigned char>(i + 1);
    s.Update(record);
    EXPECT_EQ(s.Atr().Length(), TAtr::kMaxBytes);
    EXPECT_EQ(s.Current(), (TReaderState{rsCardPresent, rsShared}));
    // In use alone, without present, maps to nothing.
    EXPECT_TRUE(s.NewlySet().Empty());
}

}  // namespace
