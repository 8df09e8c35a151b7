#pragma once

// The command line for an administrator's scripts: --uebernehmen, --umziehen, --sichern,
// --zurueckholen, --version and --help, each without a window or a display.
namespace befehlszeile {

// Runs the option in argv[1]: its exit code (0 done, 1 failed, 2 misused). -1 when there
// is no option and the program is to start with its window.
int ausfuehren(int argc, char* argv[]);

}  // namespace befehlszeile
