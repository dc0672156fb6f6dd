#include "utility/syserror.h"

#include "utility/cp1250.h"

#include <cerrno>

namespace utility {

std::string SystemErrorText(int error)
{
    switch (error) {
    case ENOSPC:
        return Pl("Brak miejsca na dysku.");
    case EDQUOT:
        return Pl("Przekroczony przydział miejsca na dysku.");
    case EACCES:
    case EPERM:
        return Pl("Brak dostępu.");
    case EROFS:
        return Pl("Nośnik jest tylko do odczytu.");
    case EEXIST:
        return Pl("Plik już istnieje.");
    case ENOENT:
        return Pl("Nie ma takiego pliku ani katalogu.");
    case ENOTDIR:
        return Pl("Element ścieżki nie jest katalogiem.");
    case EISDIR:
        return Pl("To jest katalog.");
    case EFBIG:
        return Pl("Plik jest za duży.");
    case ENAMETOOLONG:
        return Pl("Nazwa jest za długa.");
    case EIO:
        return Pl("Błąd wejścia-wyjścia.");
    case EBUSY:
        return Pl("Zasób jest zajęty.");
    case ENODEV:
    case ENXIO:
        return Pl("Urządzenie jest niedostępne.");
    case EMFILE:
    case ENFILE:
        return Pl("Za dużo otwartych plików.");
    case EXDEV:
        return Pl("Pliki leżą na różnych nośnikach.");
    default:
        return Pl("Błąd systemu nr ") + std::to_string(error) + ".";
    }
}

}  // namespace utility
