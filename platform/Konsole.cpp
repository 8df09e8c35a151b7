#include "platform/Konsole.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>

#include <cstdio>

void konsoleAnbinden() {
    const HANDLE aus = GetStdHandle(STD_OUTPUT_HANDLE);
    if (aus != nullptr && aus != INVALID_HANDLE_VALUE) {
        return;  // redirected to a file or pipe, or a console program's own
    }
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::FILE* f = nullptr;
        freopen_s(&f, "CONOUT$", "w", stdout);
        freopen_s(&f, "CONOUT$", "w", stderr);
    }
}
#else
void konsoleAnbinden() {}
#endif
