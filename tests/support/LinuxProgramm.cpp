#include "tests/support/LinuxProgramm.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace linuxprogramm {

namespace {

QString inHochkommas(const QString& s) {
    QString t = s;
    t.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

}  // namespace

QString unixPfad(const QString& pfad) {
#ifdef Q_OS_WIN
    // Wine's own call; Windows itself lacks it.
    using Umwandlung = char*(CDECL*)(LPCWSTR);
    const FARPROC f =
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    if (!f) {
        return {};
    }
    const auto umwandeln = reinterpret_cast<Umwandlung>(reinterpret_cast<void (*)()>(f));
    const std::wstring w =
        QDir::toNativeSeparators(QFileInfo(pfad).absoluteFilePath()).toStdWString();
    char* u = umwandeln(w.c_str());
    if (!u) {
        return {};
    }
    const QString ergebnis = QString::fromUtf8(u);
    HeapFree(GetProcessHeap(), 0, u);
    return ergebnis;
#else
    return QFileInfo(pfad).absoluteFilePath();
#endif
}

bool starten(const QStringList& befehl, const QString& halb, const QString& ziel) {
    const QString fehlerDatei = ziel + QStringLiteral(".fehler");
    QFile::remove(ziel);
    QFile::remove(fehlerDatei);
    const QString halbU = unixPfad(halb), zielU = unixPfad(ziel), fehlerU = unixPfad(fehlerDatei);
    if (befehl.isEmpty() || halbU.isEmpty() || zielU.isEmpty() || fehlerU.isEmpty()) {
        return false;
    }
    QStringList teile;
    for (const QString& t : befehl)
        teile << inHochkommas(t);
    // What the program says on failure ends up in `ziel`.fehler.
    const QString protokoll = inHochkommas(fehlerU + QStringLiteral(".halb"));
    const QString skript = QStringLiteral("{ ") + teile.join(QLatin1Char(' ')) +
                           QStringLiteral(" && mv ") + inHochkommas(halbU) + QLatin1Char(' ') +
                           inHochkommas(zielU) + QStringLiteral("; } 2> ") + protokoll +
                           QStringLiteral(" || mv ") + protokoll + QLatin1Char(' ') +
                           inHochkommas(fehlerU);
#ifdef Q_OS_WIN
    const QString sh = QStringLiteral("Z:\\bin\\sh");
#else
    const QString sh = QStringLiteral("/bin/sh");
#endif
    return QProcess::startDetached(sh, {QStringLiteral("-c"), skript});
}

QByteArray warten(const QString& ziel, int ms, QString* fehler) {
    const QDeadlineTimer frist(ms);
    for (;;) {
        QFile gescheitert(ziel + QStringLiteral(".fehler"));
        if (gescheitert.open(QIODevice::ReadOnly)) {
            *fehler = QStringLiteral("das Linux-Programm für %1 scheitert: %2")
                          .arg(ziel, QString::fromUtf8(gescheitert.readAll().right(2000)));
            return {};
        }
        QFile f(ziel);
        if (f.open(QIODevice::ReadOnly)) {
            return f.readAll();
        }
        if (frist.hasExpired()) {
            break;
        }
        QThread::msleep(50);
    }
    *fehler = QStringLiteral("%1 kommt nicht binnen %2 ms").arg(ziel).arg(ms);
    return {};
}

}  // namespace linuxprogramm
