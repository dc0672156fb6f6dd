// Program start-up: the units' initializations in their fixed order, each once, and their
// finalizations in reverse.
#pragma once

#include <QIcon>
#include <QTranslator>
#include <QWidget>

#include <functional>
#include <memory>

namespace app {

// Runs every unit initialization once, in the program's fixed order.
void InitializeUnits();
// Runs the finalizations of the initialized units once, in reverse order.
void FinalizeUnits();

// The application title.
inline constexpr const char* kApplicationTitle = "Kartovan: czytanie kart kierowców";  // UTF-8

// The program's icon in every size it is drawn in (the pictures installed in the icon theme).
QIcon ProgramIcon();

// Installs Qt's own Polish texts ("qtbase" of package qt6-translations-l10n) for the standard
// dialogs and buttons ("Tak", "Nie", "Anuluj", "Szukaj w:"), whatever the user's locale: the
// program's windows are Polish. Uninstalled when the result goes; none when the translation is
// missing, and the standard texts then stay English.
std::unique_ptr<QTranslator> InstallQtPolishTranslation();

// Creates the main window, shows it and runs the message loop; returns the loop's exit code.
// A failure while the window is created is shown in an error box and gives 1.
int RunMainWindow(const std::function<std::unique_ptr<QWidget>()>& createMainWindow);

// The whole main block: start-up, the main window, the message loop. Returns the exit code.
int RunProgram(int argc, char** argv);

}  // namespace app
