// The club database on a MariaDB server: connecting, the session's settings, connecting
// again, a server that keeps silent, and the server's error texts.
#include "platform/Database.h"
#include "platform/DatabaseServer.h"
#include "platform/ServerOdbc.h"
#include "platform/DeutscheOrdnung.h"
#include "platform/MariaDbSql.h"
#ifdef ZK_MARIADB_DIREKT
#include "platform/MariaDbDirekt.h"
#endif

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QTimer>
#include <QUrl>

namespace {

// Connecting (the server's greeting included) and waiting for a row another place holds
// stay well inside the time allowed for a whole action.
constexpr int kVerbindenSekunden = 5;
constexpr int kSperrwartenSekunden = 3;

// MariaDB's error numbers that a user can do something about.
constexpr int kLockWait = 1205;
constexpr int kDeadlock = 1213;

int serverCode(const QSqlError& e) {
    bool ok = false;
    const int code = e.nativeErrorCode().toInt(&ok);
    return ok ? code : -1;
}

bool serverWiederholbar(const QSqlError& e) {
    return serverCode(e) == kLockWait || serverCode(e) == kDeadlock;
}

// The server's own words as it sent them.
QString serverTreibertext(const QSqlError& e) {
    QString text = datenbank::treibertext(e);
    // The driver reads the server's UTF-8 messages as Latin-1; read them as they were sent.
    bool latin1 = true;
    for (const QChar c : text) {
        latin1 = latin1 && c.unicode() < 0x100;
    }
    if (latin1) {
        const QString utf8 = QString::fromUtf8(text.toLatin1());
        if (!utf8.contains(QChar::ReplacementCharacter)) {
            text = utf8;
        }
    }
    return text;
}

QString serverSatz(const QSqlError& e) {
    if (serverWiederholbar(e)) {
        return QStringLiteral(
            "Die Daten werden gerade an einem anderen Platz gespeichert. Bitte noch einmal "
            "versuchen.");
    }
    return {};
}

QString serverText(const QSqlError& e) {
    const QString satz = serverSatz(e);
    return (satz.isEmpty() ? QStringLiteral("Der Server meldet einen Fehler.") : satz) +
           treiberzeile(serverTreibertext(e));
}

// The password of section [client] of the user's ~/.my.cnf, "" when there is none.
QString passwortAusMyCnf() {
    QFile datei(QDir::home().filePath(QStringLiteral(".my.cnf")));
    if (datei.size() > 65536 || !datei.open(QIODevice::ReadOnly)) {
        return {};
    }
    bool client = false;
    for (const QByteArray& roh : datei.readAll().split('\n')) {
        const QString zeile = QString::fromUtf8(roh).trimmed();
        if (zeile.startsWith(u'[')) {
            client = zeile.compare(QLatin1String("[client]"), Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype gleich = zeile.indexOf(u'=');
        if (!client || gleich < 0 ||
            zeile.left(gleich).trimmed().compare(QLatin1String("password"), Qt::CaseInsensitive) !=
                0) {
            continue;
        }
        QString wert = zeile.mid(gleich + 1).trimmed();
        if (wert.size() >= 2 && (wert.front() == u'"' || wert.front() == u'\'') &&
            wert.back() == wert.front()) {
            wert = wert.mid(1, wert.size() - 2);
        }
        return wert;
    }
    return {};
}

std::function<QString(const QString&)>& passwortAbfrage() {
    static std::function<QString(const QString&)> abfrage;
    return abfrage;
}

}  // namespace

// The connection is gone: "server has gone away", "lost connection", killed, timed out,
// or the server could not be reached when the client tried again by itself.
bool datenbank::verbindungVerloren(const QSqlError& e) {
    switch (serverCode(e)) {
        case 2002:
        case 2003:
        case 2006:
        case 2013:
        case 2055:
        case 1927:
        case 4031:
            return true;
        default:
            return false;
    }
}

// A server's values as the file gives them: dates as ISO text.
QVariant datenbank::wieDatei(const QVariant& v) {
    if (v.isNull()) {
        return v;
    }
    if (v.typeId() == QMetaType::QDate) {
        return v.toDate().toString(Qt::ISODate);
    }
    if (v.typeId() == QMetaType::QDateTime) {
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    return v;
}

void Database::setPasswortAbfrage(std::function<QString(const QString&)> abfrage) {
    passwortAbfrage() = std::move(abfrage);
}

bool Database::openServer(const QString& adresse, QString* error, const QString* passwort) {
    const QUrl url(adresse.trimmed());
    const QString name = url.path().mid(1);
    if (!url.isValid() || url.host().isEmpty() || name.isEmpty() || name.contains(u'/')) {
        if (error) {
            *error = QStringLiteral(
                         "\"%1\" ist keine gültige Server-Adresse "
                         "(mariadb://benutzer@rechner:port/datenbank).")
                         .arg(adresse);
        }
        return false;
    }
#ifdef Q_OS_WIN
    if (serverodbc::treibername().isEmpty()) {
        if (error) {
            *error = serverodbc::fehlt();
        }
        return false;
    }
#else
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QMYSQL"))) {
        if (error) {
            *error = QStringLiteral("Der MariaDB-Treiber von Qt (Paket libqt6sql6-mysql) fehlt.");
        }
        return false;
    }
#endif
    // A server that stops answering (a cable pulled, a switch that died) must not hold the
    // program until the operating system gives up on the connection, minutes later.
    QStringList optionen{QStringLiteral("MYSQL_OPT_CONNECT_TIMEOUT=%1").arg(kVerbindenSekunden),
                         QStringLiteral("MYSQL_OPT_READ_TIMEOUT=%1").arg(kAntwortfristSekunden),
                         QStringLiteral("MYSQL_OPT_WRITE_TIMEOUT=%1").arg(kAntwortfristSekunden),
                         QStringLiteral("CLIENT_FOUND_ROWS=1")};
    auto verbinden = [&](const QString& passwort) {
        QSqlDatabase db =
            QSqlDatabase::contains(connectionName_)
                ? QSqlDatabase::database(connectionName_, false)
#ifdef Q_OS_WIN
                : QSqlDatabase::addDatabase(QStringLiteral("QODBC"), connectionName_);
        serverodbc::einrichten(db, url.host(), url.port(3306), name, url.userName(), passwort,
                               kVerbindenSekunden, kAntwortfristSekunden);
#else
                : QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), connectionName_);
        db.setHostName(url.host());
        db.setPort(url.port(3306));
        db.setDatabaseName(name);
        db.setUserName(url.userName());
        db.setPassword(passwort);
        db.setConnectOptions(optionen.join(u';'));
#endif
        if (db.open()) {
            passwort_ = passwort;
            return QString();
        }
        const QString text = serverTreibertext(db.lastError());
        return text.isEmpty() ? QStringLiteral("?") : text;
    };
    // The password lives where every MariaDB client looks for it, never in wettk.ini.
    QString grund = verbinden(passwort ? *passwort : passwortAusMyCnf());
    if (!passwort && !grund.isEmpty() && grund.contains(QLatin1String("Access denied")) &&
        passwortAbfrage()) {
        const QString passwort = passwortAbfrage()(adresse);
        if (!passwort.isEmpty()) {
            grund = verbinden(passwort);
        }
    }
    if (!grund.isEmpty()) {
        if (error) {
            *error = QStringLiteral("Die Datenbank \"%1\" auf dem Server ist nicht erreichbar.")
                         .arg(adresse) +
                     treiberzeile(grund);
        }
        close();
        return false;
    }
    if (!sitzungEinrichten(&grund)) {
        if (error) {
            *error = QStringLiteral(
                         "Die Datenbank \"%1\" auf dem Server kann nicht benutzt "
                         "werden.\n%2")
                         .arg(adresse, grund);
        }
        close();
        return false;
    }
    server_ = true;
    path_ = adresse;
    return true;
}

// The statements are the program's own SQLite ones: quoted names, "||", no backslash
// escapes; a value the column cannot take is refused, not cut. A server that does not take
// these settings would read them otherwise, so it is not used.
bool Database::sitzungEinrichten(QString* grund) {
    QSqlQuery q(QSqlDatabase::database(connectionName_, false));
    const QStringList modi{"ANSI_QUOTES", "PIPES_AS_CONCAT", "NO_BACKSLASH_ESCAPES",
                           "STRICT_ALL_TABLES", "NO_ENGINE_SUBSTITUTION"};
    const bool ok = q.exec(QStringLiteral("SET SESSION sql_mode = '%1'").arg(modi.join(u','))) &&
                    q.exec(QStringLiteral("SET NAMES utf8mb4")) &&
                    q.exec(QStringLiteral("SET SESSION innodb_lock_wait_timeout = %1")
                               .arg(kSperrwartenSekunden)) &&
                    q.exec(QStringLiteral("SELECT @@SESSION.sql_mode")) && q.next();
    if (!ok) {
        *grund = serverText(q.lastError());
        return false;
    }
    const QStringList gesetzt = q.value(0).toString().split(u',');
    for (const QString& m : modi) {
        if (!gesetzt.contains(m)) {
            *grund = QStringLiteral("Der Server nimmt die Einstellung %1 nicht an.").arg(m);
            return false;
        }
    }
    verbindungWeg_ = false;
#ifdef ZK_MARIADB_DIREKT
    // The connection's own client handle, for the program's statements (its session and
    // transaction are the driver's).
    const QVariant h = QSqlDatabase::database(connectionName_, false).driver()->handle();
    mysql_ = h.isValid() && (qstrcmp(h.typeName(), "MYSQL*") == 0 ||
                             qstrcmp(h.typeName(), "st_mysql*") == 0)
                 ? *static_cast<st_mysql* const*>(h.data())
                 : nullptr;
#endif
    return true;
}

bool Database::wiederVerbinden(QString* grund) {
    if (!server_ || !QSqlDatabase::contains(connectionName_)) {
        return false;
    }
    vorraeteLeeren();
    tabellenDa_.clear();
    mysql_ = nullptr;
    inTransaction_ = false;
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    db.close();
    if (stumm()) {
        // Asked once in this action already, and it kept silent.
        verbindungWeg_ = true;
        if (grund) {
            *grund = stummText();
        }
        return false;
    }
    QElapsedTimer uhr;
    uhr.start();
    QString warum;
    if (!db.open()) {
        warum = verbindungText(serverTreibertext(db.lastError()));
    } else if (sitzungEinrichten(&warum)) {
        return true;
    }
    verbindungWeg_ = true;
    if (uhr.elapsed() >= 1000) {
        // It took its time to fail: the server does not answer rather than refuse.
        stummMerken();
        warum = stummText() + treiberzeile(serverTreibertext(db.lastError()));
    }
    if (grund) {
        *grund = warum;
    }
    return false;
}

void Database::stummMerken() {
    stumm_->store(true);
    stummSeit_.start();
    // Cleared once this thread is back at its events (its next action), or after a while
    // where no event loop runs.
    if (QCoreApplication::instance() && QThread::currentThread()->eventDispatcher()) {
        std::weak_ptr<std::atomic<bool>> flag = stumm_;
        QTimer::singleShot(0, [flag] {
            if (auto f = flag.lock()) {
                f->store(false);
            }
        });
    }
}

bool Database::stumm() {
    if (stumm_->load() && stummSeit_.isValid() &&
        stummSeit_.elapsed() > 2000LL * kAntwortfristSekunden) {
        stumm_->store(false);
    }
    return stumm_->load();
}

QString Database::stummText() const {
    return QStringLiteral(
               "Der Server der Vereinsdatenbank \"%1\" antwortet nicht (seit %2 Sekunden "
               "keine Antwort). Was auf dem Bildschirm steht, bleibt erhalten; bitte noch einmal "
               "versuchen, wenn er wieder antwortet.")
        .arg(path_)
        .arg(kAntwortfristSekunden);
}

QString Database::verbindungText(const QString& treibertext) const {
    return QStringLiteral(
               "Der Server der Vereinsdatenbank \"%1\" ist nicht erreichbar. Was auf dem "
               "Bildschirm steht, bleibt erhalten; bitte noch einmal versuchen, wenn der Server "
               "wieder läuft.")
               .arg(path_) +
           treiberzeile(treibertext);
}

// The German message of a failed statement on the server: why, where the cause is known,
// else `satz`; the server's words below. A server that kept silent the whole time allowed is
// noted.
void Database::serverFehlerWerfen(const QString& satz, const QSqlError& fehler, bool weg,
                                  qint64 gewartetMs) {
    if (weg) {
        verbindungWeg_ = true;
        vorraeteLeeren();
        if (gewartetMs >= 1000 * (kAntwortfristSekunden - 1)) {
            stummMerken();
            throw DatabaseError(stummText() + treiberzeile(serverTreibertext(fehler)), false, true);
        }
        throw DatabaseError(verbindungText(serverTreibertext(fehler)), false, true);
    }
    const QString grund = serverSatz(fehler);
    throw DatabaseError((grund.isEmpty() ? satz : grund) + treiberzeile(serverTreibertext(fehler)),
                        serverWiederholbar(fehler), false, serverWiederholbar(fehler));
}

// The program's own statements on the connection's client handle: prepared once, run in one
// round trip. False when the statement is the driver's to run (a value or column the handle
// does not read, or no handle).
bool Database::serverDirekt(const QString& sql, const QVariantList& values, SqlRows* result) {
#ifdef ZK_MARIADB_DIREKT
    if (!mariadbdirekt::bindbar(values)) {
        return false;
    }
    const Vorbereitet vorhanden = prepared_.value(sql);
    if (vorhanden.qt) {
        return false;  // its columns are read by the driver
    }
    std::shared_ptr<mariadbdirekt::Anweisung> a = vorhanden.server;
    mariadbdirekt::Fehler fehler;
    const auto werfen = [&](const char* was, qint64 gewartet) {
        const QSqlError e(QString::fromLatin1(was), fehler.text, QSqlError::StatementError,
                          QString::number(fehler.code));
        fehlerWerfen(QStringLiteral("Die Datenbank \"%1\" meldet einen Fehler.").arg(path_), e,
                     datenbank::verbindungVerloren(e), gewartet);
    };
    QElapsedTimer uhr;
    uhr.start();
    if (!a) {
        a = mariadbdirekt::vorbereiten(
            mysql_, mariadbsql::uebersetzen(deutsch::namenOrdnen(sql, true)), &fehler);
        if (!a) {
            if (fehler.code == 0) {
                return false;
            }
            werfen("QMYSQL: Unable to prepare statement", uhr.elapsed());
        }
        if (prepared_.size() >= kHoechstensVorbereitet) {
            prepared_.clear();  // a bound that a program's own statements never reach
        }
        prepared_.insert(sql, {nullptr, nullptr, a});
    }
    uhr.restart();
    bool abfrage = false;
    int geaendert = 0;
    if (!mariadbdirekt::ausfuehren(*a, values, result, &abfrage, &geaendert, &fehler)) {
        if (fehler.code == 0) {
            prepared_.remove(sql);
            *result = SqlRows();
            return false;
        }
        werfen("QMYSQL: Unable to execute statement", uhr.elapsed());
    }
    if (abfrage) {
        // The server's key answers to the name the statement asked for.
        if (!sql.contains(mariadbsql::kZeilenschluessel)) {
            for (QString& spalte : result->columns) {
                if (spalte == mariadbsql::kZeilenschluessel) {
                    spalte = QStringLiteral("rowid");
                }
            }
        }
        for (QVariantList& zeile : result->rows) {
            for (QVariant& wert : zeile) {
                wert = datenbank::wieDatei(wert);
            }
        }
    }
    changedRows_ = abfrage ? 0 : geaendert;
    return true;
#else
    Q_UNUSED(sql);
    Q_UNUSED(values);
    Q_UNUSED(result);
    return false;
#endif
}
