// Kartovan: downloads first-generation driver cards through a PC/SC reader.
#include "app/startup.h"

int main(int argc, char** argv) { return app::RunProgram(argc, argv); }
