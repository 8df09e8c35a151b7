#include "platform/Anmeldung.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>

#include <vector>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace anmeldung {

namespace {

QString konto() {
#ifdef Q_OS_UNIX
    long groesse = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> puffer(static_cast<std::size_t>(groesse > 0 ? groesse : 16384));
    passwd eintrag{};
    passwd* gefunden = nullptr;
    if (getpwuid_r(getuid(), &eintrag, puffer.data(), puffer.size(), &gefunden) == 0 &&
        gefunden != nullptr && gefunden->pw_name != nullptr) {
        return QString::fromLocal8Bit(gefunden->pw_name);
    }
#endif
#ifdef Q_OS_WIN
    // The account itself, for a program started without the user's environment (a task).
    wchar_t puffer[257];
    DWORD laenge = 257;
    if (GetUserNameW(puffer, &laenge) && laenge > 1) {
        return QString::fromWCharArray(puffer, static_cast<qsizetype>(laenge - 1));
    }
#endif
    return {};
}

}  // namespace

QString name() {
    for (const char* variable : {"USER", "LOGNAME", "USERNAME"}) {
        const QString u = qEnvironmentVariable(variable).trimmed();
        if (!u.isEmpty()) {
            return u.left(64);
        }
    }
    return konto().left(64);
}

}  // namespace anmeldung
