#include "core/Platz.h"

#include <QMutex>
#include <QSysInfo>

#include "core/Einstellungen.h"
#include "core/Ini.h"

namespace {
QMutex& sperre() {
    static QMutex m;
    return m;
}
QString& stand() {
    static QString s;
    return s;
}
}  // namespace

namespace platz {

QString name() {
    const QString pc = QSysInfo::machineHostName();
    const QMutexLocker lock(&sperre());
    if (stand().isEmpty()) {
        return pc.left(64);
    }
    // A name that says "Stand" itself is not given the word twice.
    const bool mitWort = stand().startsWith(QStringLiteral("Stand "), Qt::CaseInsensitive);
    return (mitWort ? QStringLiteral("%1 (%2)") : QStringLiteral("%1 (Stand %2)"))
        .arg(pc, stand())
        .left(64);
}

void setzeStand(const QString& s) {
    const QMutexLocker lock(&sperre());
    stand() = s.simplified().left(30);
}

void ausEinstellungen(Ini& ini) {
    QString s = ini.IniLesen(kAbschnitt, ini::kName).trimmed();
    if (s.isEmpty()) {
        const QString port = ini.IniLesen(ini::kWertmaschine, ini::kComport).trimmed();
        s = QStringLiteral("COM") + (port.isEmpty() ? QStringLiteral("1") : port);
    }
    setzeStand(s);
}

}  // namespace platz
