// Program start-up: the units' initializations in their fixed order, each once, and their
// finalizations in reverse.
#pragma once

namespace app {

// Runs every unit initialization once, in the program's fixed order.
void InitializeUnits();
// Runs the finalizations of the initialized units once, in reverse order.
void FinalizeUnits();

// The application title.
inline constexpr const char* kApplicationTitle = "Kartovan: czytanie kart kierowców";  // UTF-8

// The whole main block: start-up, the main window, the message loop. Returns the exit code.
int RunProgram(int argc, char** argv);

} // namespace app
