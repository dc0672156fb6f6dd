// The report's paper sizes and paper sources, with the printer codes they stand for and the
// portrait dimensions of every standard paper.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace report::output {

// Ordinal = printer paper code, except Custom (code 256).
enum class TRpPaperSize : std::uint8_t {
    Default,
    Letter,
    LetterSmall,
    Tabloid,
    Ledger,
    Legal,
    Statement,
    Executive,
    A3,
    A4,
    A4Small,
    A5,
    B4,
    B5,
    Folio,
    Quarto,
    rp10X14,
    rp11X17,
    Note,
    Env9,
    Env10,
    Env11,
    Env12,
    Env14,
    CSheet,
    DSheet,
    ESheet,
    EnvDL,
    EnvC5,
    EnvC3,
    EnvC4,
    EnvC6,
    EnvC65,
    EnvB4,
    EnvB5,
    EnvB6,
    EnvItaly,
    EnvMonarch,
    EnvPersonal,
    FanfoldUSStd,
    FanfoldGerStd,
    FanfoldGerLegal,
    B4ISO,
    PostcardJap,
    rp9X11,
    rp10X11,
    rp15X11,
    EnvInvite,
    Reserved1,
    Reserved2,
    LetterExtra,
    LegalExtra,
    TabloidExtra,
    A4Extra,
    LetterTrans,
    A4Trans,
    LetterExtraTrans,
    SuperASuperAA4,
    SuperBSuperBA3,
    LetterPlus,
    A4Plus,
    A5Trans,
    B5Trans,
    A3Extra,
    A5Extra,
    B5Extra,
    A2,
    A3Trans,
    A3ExtraTrans,
    Custom
};
inline constexpr int kPaperSizeCount = 70;
inline constexpr int kCustomPaperCode = 256;

enum class TRpBin : std::uint8_t {
    First,
    Upper,
    Lower,
    Middle,
    Manual,
    Envelope,
    EnvManual,
    Auto,
    Tractor,
    SmallFormat,
    LargeFormat,
    LargeCapacity,
    Cassette,
    Last
};
inline constexpr int kBinCount = 14;

struct PaperDimensions {
    long double widthMm;
    long double heightMm;
};

// The printer paper code of a size: its ordinal, 256 for Custom.
[[nodiscard]] int PaperCode(TRpPaperSize size);
// The first size whose code equals `code` (0..256); nullopt when none does.
[[nodiscard]] std::optional<TRpPaperSize> PaperSizeFromCode(int code);
// Portrait width and height in millimetres; Custom has no entry (0 x 0).
[[nodiscard]] PaperDimensions PaperDimensionsOf(TRpPaperSize size);
// Width and height in tenths of a millimetre, rounded half to even; Custom gives 0 x 0.
[[nodiscard]] std::int32_t PaperWidthTenths(TRpPaperSize size);
[[nodiscard]] std::int32_t PaperLengthTenths(TRpPaperSize size);
// Size from an ordinal 0..69; nullopt outside.
[[nodiscard]] std::optional<TRpPaperSize> PaperSizeFromOrdinal(int ordinal);

// Bin codes: First and Upper are both 1, Cassette and Last both 14.
[[nodiscard]] int BinCode(TRpBin bin);
// The first bin whose code equals `code`; First when none does.
[[nodiscard]] TRpBin BinFromCode(int code);

}  // namespace report::output
