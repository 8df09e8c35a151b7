#include "platform/ServerOdbc.h"

#include <QSettings>
#include <QSqlDatabase>

namespace serverodbc {

namespace {

QString inKlammern(QString wert) {
    return u'{' + wert.replace(u'}', QStringLiteral("}}")) + u'}';
}

}  // namespace

QString treibername() {
#ifdef Q_OS_WIN
    const QSettings treiber(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\ODBC\\ODBCINST.INI\\"
                                           "ODBC Drivers"),
                            QSettings::NativeFormat);
    QString bester;
    for (const QString& name : treiber.childKeys()) {
        // The newest when several are installed: "MariaDB ODBC 3.2 Driver" over 3.1.
        if (name.startsWith(QLatin1String("MariaDB ODBC"), Qt::CaseInsensitive) &&
            name.compare(bester, Qt::CaseInsensitive) > 0) {
            bester = name;
        }
    }
    return bester;
#else
    return {};
#endif
}

QString fehlt() {
    return QStringLiteral(
        "Für die Vereinsdatenbank auf dem Server fehlt der MariaDB-ODBC-Treiber. Bitte "
        "\"MariaDB Connector/ODBC\" (64 Bit) von mariadb.com installieren und Zielkunst neu "
        "starten.");
}

QString verbindung(const QString& treiber, const QString& rechner, int port,
                   const QString& datenbank, const QString& benutzer, const QString& passwort,
                   int verbindenSekunden, int antwortSekunden) {
    return QStringLiteral("DRIVER=%1;SERVER=%2;PORT=%3;DATABASE=%4;UID=%5;PWD=%6;OPTION=2;"
                          "CONN_TIMEOUT=%7;READ_TIMEOUT=%8;WRITE_TIMEOUT=%8;CHARSET=utf8mb4")
        .arg(inKlammern(treiber), inKlammern(rechner))
        .arg(port)
        .arg(inKlammern(datenbank), inKlammern(benutzer), inKlammern(passwort))
        .arg(verbindenSekunden)
        .arg(antwortSekunden);
}

void einrichten(QSqlDatabase& db, const QString& rechner, int port, const QString& datenbank,
                const QString& benutzer, const QString& passwort, int verbindenSekunden,
                int antwortSekunden) {
    db.setDatabaseName(verbindung(treibername(), rechner, port, datenbank, benutzer, passwort,
                                  verbindenSekunden, antwortSekunden));
    db.setUserName({});
    db.setPassword({});
    db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(verbindenSekunden));
}

}  // namespace serverodbc
