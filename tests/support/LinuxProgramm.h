#pragma once

#include <QString>
#include <QStringList>

// Linux programs for a test that runs as a Windows program under Wine. Wine starts a Unix
// program that CreateProcess names (Z:\usr\bin\...), but hands it no pipe and no process
// handle: it is started and left alone, and speaks only through files.
namespace linuxprogramm {

// The Unix path of a file Windows names ("" when not under Wine). On Linux the path itself.
QString unixPfad(const QString& pfad);

// Runs `befehl` (a Unix program and its arguments) through /bin/sh; when it succeeds, the
// file `ziel` is written whole at once by `mv` from `halb` (both Windows paths), otherwise
// `ziel` + ".fehler" appears. False when it cannot be started.
bool starten(const QStringList& befehl, const QString& halb, const QString& ziel);

// Waits up to `ms` for `ziel` (or its ".fehler"); its bytes, or a null array and *fehler.
QByteArray warten(const QString& ziel, int ms, QString* fehler);

}  // namespace linuxprogramm
