// The program as it starts, for startup_bench: the main block itself, until its main window has
// first painted.
#include "app/startup.h"
#include "bench/startup_watch.h"

int main(int argc, char** argv) { return app::RunProgram(argc, argv); }
