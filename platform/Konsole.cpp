#include "platform/Konsole.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>

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

void konsoleSchreiben(std::FILE* f, const QString& zeile) {
    std::fflush(f);
    const auto h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)));
    DWORD modus = 0;
    if (h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &modus)) {
        // A console shows its own code page (often 850, not the 1252 of the files): its
        // wide-character call shows every letter as it is.
        const QString text = zeile + u'\n';
        DWORD geschrieben = 0;
        WriteConsoleW(h, reinterpret_cast<const wchar_t*>(text.utf16()),
                      static_cast<DWORD>(text.size()), &geschrieben, nullptr);
        return;
    }
    std::fputs((zeile + u'\n').toUtf8().constData(), f);
    std::fflush(f);
}
#else
void konsoleAnbinden() {}

void konsoleSchreiben(std::FILE* f, const QString& zeile) {
    std::fputs((zeile + u'\n').toUtf8().constData(), f);
    std::fflush(f);
}
#endif
