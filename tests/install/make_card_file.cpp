// Writes the card download file the install check opens with the installed program: Anna Maria
// Nowak's card, card number D750101123450012, one day of activity up to 2011-05-17 15:45.
//   install_card_file FILE
#include "tacho/ddd_file.h"
#include "tests/support/card_builder.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: install_card_file FILE\n");
        return 2;
    }
    using testsupport::ChangeWord;
    using testsupport::TimeReal;
    testsupport::CardBuilder card;
    card.Surname("Nowak")
        .FirstNames("Anna Maria")
        .CardNumber("D750101123450012")
        .BirthDate(0x19750101)
        .Day(TimeReal(2011, 5, 17), 1, 80, {ChangeWord(0, 0, 0, 3, 7 * 60), ChangeWord(0, 0, 1, 0, 15 * 60 + 45)});
    tacho::SignatureAreaData signatures{};
    for (std::size_t slot = 0; slot < tacho::kSignatureCount; ++slot)
        signatures[tacho::SignatureValidityOffset(slot)] = 1;
    tacho::ByteBuffer bytes;
    std::string error;
    if (!tacho::BuildDddFileBytes(card.Image(), signatures, bytes, error)) {
        std::fprintf(stderr, "install_card_file: %s\n", error.c_str());
        return 1;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "install_card_file: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
