#include "smartcard/driver_card_download.h"

#include "smartcard/cardcommands.h"
#include "smartcard/elementaryfileread.h"
#include "smartcard/scard_error.h"
#include "smartcard/zoltfile.h"
#include "tacho/card_image.h"
#include "tacho/zolt.h"
#include "utility/cp1250.h"
#include "utility/datetime.h"
#include "utility/dialogi.h"
#include "utility/paths.h"
#include "utility/stringi.h"

#include <exception>
#include <optional>
#include <span>

namespace smartcard {

namespace {

const std::string kCaption = "Wczytywanie karty";

// Ends the file reads without a message of its own.
struct TReadAbandoned {};

std::string FidText(std::uint16_t fid)
{
    const std::string hex = utility::ZeroPadNumberText(utility::IntToHexText(fid), 4);
    return hex.substr(0, 2) + " " + hex.substr(2, 2);
}

const tacho::EfSlot& SlotOf(std::uint16_t fid) { return tacho::kEfSlots[*tacho::EfSlotOf(fid)]; }

// One row of the table into its slots; abandons the read unless the file came complete.
void ReadRow(TElementaryFileReader& reader, const TDownloadRow& row)
{
    const std::size_t efSlot = *tacho::EfSlotOf(row.fid);
    const tacho::EfSlot& slot = tacho::kEfSlots[efSlot];
    const std::uint32_t length = RequestedLength(row);
    if (length > slot.size) {
        utility::ErrorBox(utility::Pl("Karta podaje długość pliku EF ") + FidText(row.fid) + " (" +
                          std::to_string(length) + utility::Pl(" bajtów) większą, niż może mieć karta kierowcy (") +
                          std::to_string(slot.size) +
                          utility::Pl(" bajtów).\r\nDanych z tej karty nie można wczytać."));
        throw TReadAbandoned{};
    }
    std::span<std::uint8_t> body(tacho::CardImage.data() + slot.body, slot.size);
    std::span<std::uint8_t> signature;
    if (row.sign) {
        const std::size_t signatureSlot = *tacho::SignatureSlotOfEf(efSlot);
        signature = std::span<std::uint8_t>(tacho::SignatureArea.data() + tacho::SignatureSlotOffset(signatureSlot),
                                            tacho::kSignatureSlotSize);
    }
    bool signFlag = row.sign;
    std::string status;
    reader.ReadCardElementaryFile(row.fid, signFlag, 0, length, body, signature, status);
    if (status != "9000")
        throw TReadAbandoned{};
}

void StepAfter(TDownloadHooks& hooks, const TDownloadRow& row)
{
    for (int position : row.progressAfter)
        if (position > 0)
            hooks.ProgressStep(position);
}

// How the file reads ended.
struct TReadEnd {
    bool read = false;
    // Code of the PC/SC error that ended them, when one did.
    std::optional<LONG> scardCode;
};

// Reads every file; after any failure the read result line is set.
TReadEnd ReadAllFiles(TElementaryFileReader& reader, TDownloadHooks& hooks)
{
    TReadEnd end;
    try {
        hooks.ProgressOpen(0, 1, kCaption);
        tacho::SignatureArea.fill(0);
        for (std::size_t i = 0; i < kCardLevelRows; ++i) {
            ReadRow(reader, kDownloadRows[i]);
            StepAfter(hooks, kDownloadRows[i]);
        }
        hooks.ProgressClose();
        if (!IsSuccess(reader.Exchange(SelectTachographCommand())))
            throw TReadAbandoned{};
        hooks.ProgressOpen(0, 13, kCaption);
        for (std::size_t i = kCardLevelRows; i < kDownloadRows.size(); ++i) {
            ReadRow(reader, kDownloadRows[i]);
            StepAfter(hooks, kDownloadRows[i]);
        }
        hooks.ProgressClose();
        end.read = true;
        return end;
    } catch (const ESCardError& e) {
        end.scardCode = e.Code();
    } catch (...) {}
    hooks.ProgressClose();
    hooks.SetReadResult("Danych nie wczytano");
    return end;
}

// The last command goes to the card once more, as it always has. After a complete read
// its failure changes nothing; after a failed one its error is shown, unless it is the
// PC/SC error that ended the read, which "Danych nie wczytano" has reported already.
void RepeatLastCommand(TElementaryFileReader& reader, const TReadEnd& end)
{
    try {
        (void)reader.RepeatLastCommand();
    } catch (const ESCardError& e) {
        if (!end.read && end.scardCode != e.Code())
            utility::ErrorBox(e.what());
    } catch (const std::exception& e) {
        if (!end.read)
            utility::ErrorBox(e.what());
    } catch (...) {}
}

void SaveCard(TDownloadHooks& hooks, const TDownloadEnvironment& env, TDownloadOutcome& outcome)
{
    try {
        const TZoltHolder holder{tacho::CardHolderPesel(tacho::CardImage), tacho::CardHolderSurname(tacho::CardImage),
                                 tacho::CardHolderFirstNames(tacho::CardImage)};
        const double now = env.clock ? env.clock() : utility::Now();
        const auto randomText = env.randomText ? env.randomText : std::function<std::string(int)>(utility::RandomText);
        const std::filesystem::path path = MakeZoltFilePath(env.zoltFolder, now, holder, randomText);
        hooks.SaveCardAsDdd();
        tacho::CardImageD7 record{};
        tacho::CardImageToD7(tacho::CardImage, record);
        WriteZoltFile(path, record);
        hooks.SetSaveResult(utility::Pl("Dane z karty kierowcy zapisano w pliku ") + utility::PathToCp1250(path));
        outcome.zoltFile = path;
        outcome.result = 0;
    } catch (const std::exception& e) {
        hooks.SetSaveResult(utility::Pl("! Danych z karty kierowcy nie zdołano zapisać na dysku. (") + e.what() + ")");
    } catch (...) {
        hooks.SetSaveResult(utility::Pl("! Danych z karty kierowcy nie zdołano zapisać na dysku."));
    }
}

}  // namespace

std::uint32_t RequestedLength(const TDownloadRow& row)
{
    const tacho::CardImageData& image = tacho::CardImage;
    namespace f = tacho::field;
    switch (row.length) {
    case TRequestedLength::Slot:
        return static_cast<std::uint32_t>(SlotOf(row.fid).size);
    case TRequestedLength::Events:
        return image[f::kNoOfEventsPerType] * 144u;
    case TRequestedLength::Faults:
        return image[f::kNoOfFaultsPerType] * 48u;
    case TRequestedLength::Activity:
        return tacho::ReadWordBE(image[f::kActivityStructureLength], image[f::kActivityStructureLength + 1]) + 4u;
    case TRequestedLength::Vehicles:
        return tacho::ReadWordBE(image[f::kNoOfCardVehicleRecords], image[f::kNoOfCardVehicleRecords + 1]) *
                   static_cast<std::uint32_t>(tacho::kVehicleRecordSize) +
               2u;
    case TRequestedLength::Places:
        return image[f::kNoOfCardPlaceRecords] * static_cast<std::uint32_t>(tacho::kPlaceRecordSize) + 1u;
    }
    return 0;
}

TDownloadOutcome ReadDriverCard(TApduChannel& channel, TDownloadHooks& hooks, const TDownloadEnvironment& env)
{
    TDownloadOutcome outcome;
    tacho::CardImage.fill(0);
    TElementaryFileReader reader(channel);
    const TReadEnd end = ReadAllFiles(reader, hooks);
    RepeatLastCommand(reader, end);
    if (!end.read)
        return outcome;
    if (utility::TrimBoth(tacho::CardHolderPesel(tacho::CardImage)).empty()) {
        hooks.SetSaveResult(utility::Pl("! Danych z karty kierowcy nie zapisano: karta nie podaje numeru PESEL "
                                        "kierowcy, z którego powstaje nazwa pliku."));
        return outcome;
    }
    hooks.SetReadResult("Dane wczytano");
    outcome.cardRead = true;
    SaveCard(hooks, env, outcome);
    return outcome;
}

}  // namespace smartcard
