#include "tests/support/download_commands.h"

#include "tests/support/card_model.h"

#include <algorithm>

namespace testsupport {

std::vector<DownloadFile> DownloadFiles(const CardCounts& counts)
{
    const CardCounts largest = LargestCard();
    // Counted sizes are 16-bit products, as the card reader works them out.
    const auto counted = [&](std::uint16_t fid) {
        const auto declared = static_cast<std::uint16_t>(FileSize(fid, counts));
        return std::min<std::size_t>(declared, FileSize(fid, largest));
    };
    return {
        {kFidIcc, 25, false},
        {kFidIc, 8, false},
        {kFidApplicationIdentification, 10, true},
        {kFidCardCertificate, 194, false},
        {kFidCaCertificate, 194, false},
        {kFidIdentification, 143, true},
        {kFidDrivingLicenceInfo, 53, true},
        {kFidEventsData, counted(kFidEventsData), true},
        {kFidFaultsData, counted(kFidFaultsData), true},
        {kFidDriverActivityData, counted(kFidDriverActivityData), true},
        {kFidVehiclesUsed, counted(kFidVehiclesUsed), true},
        {kFidPlaces, counted(kFidPlaces), true},
        {kFidCurrentUsage, 19, true},
        {kFidControlActivityData, 46, true},
        {kFidSpecificConditions, 280, true},
    };
}

Bytes SelectFileCommand(std::uint16_t fid)
{
    return Bytes{
        0x00, 0xA4, 0x02, 0x0C, 0x02, static_cast<std::uint8_t>(fid >> 8), static_cast<std::uint8_t>(fid & 0xFF)};
}

Bytes SelectApplicationCommand()
{
    Bytes command{0x00, 0xA4, 0x04, 0x0C, 0x06};
    command.insert(command.end(), TachographAid().begin(), TachographAid().end());
    return command;
}

Bytes PerformHashCommand() { return Bytes{0x80, 0x2A, 0x90, 0x00}; }

Bytes ReadBinaryCommand(std::size_t offset, std::size_t length)
{
    return Bytes{0x00, 0xB0, static_cast<std::uint8_t>(offset >> 8 & 0xFF), static_cast<std::uint8_t>(offset & 0xFF),
                 static_cast<std::uint8_t>(length & 0xFF)};
}

Bytes ComputeSignatureCommand() { return Bytes{0x00, 0x2A, 0x9E, 0x9A, 0x80}; }

std::vector<Bytes> DownloadCommands(const CardCounts& counts)
{
    std::vector<Bytes> commands;
    for (const DownloadFile& file : DownloadFiles(counts)) {
        if (file.fid == kFidApplicationIdentification)
            commands.push_back(SelectApplicationCommand());
        commands.push_back(SelectFileCommand(file.fid));
        if (file.signedFile)
            commands.push_back(PerformHashCommand());
        for (std::size_t offset = 0; offset < file.length; offset += 254)
            commands.push_back(ReadBinaryCommand(offset, std::min<std::size_t>(254, file.length - offset)));
        if (file.signedFile)
            commands.push_back(ComputeSignatureCommand());
    }
    commands.push_back(commands.back());
    return commands;
}

}  // namespace testsupport
