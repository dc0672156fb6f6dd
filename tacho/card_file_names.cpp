#include "tacho/card_file_names.h"

#include "tacho/activity_ring.h"
#include "utility/cp1250.h"
#include "utility/stringi.h"

namespace tacho {

double LastActivityForName(const CardImageData& image)
{
    // An impossible change time must not cost the user the file of a card just read: such a
    // card is named like one without activity.
    const ActivitySpan span = GetActivitySpan(image);
    return span.timesValid ? span.last : 0;
}

std::string HolderNamePrefix(const CardImageData& image, const std::string& surname)
{
    return surname + "_" + CardHolderFirstNames(image) + "_" + CardHolderPesel(image) + "_";
}

bool FolderIsNamed(const std::filesystem::path& folder, std::string& error)
{
    if (!utility::TrimBoth(folder.native()).empty())
        return true;
    error = utility::Pl("Nie podano katalogu, w którym ma powstać plik.");
    return false;
}

}  // namespace tacho
