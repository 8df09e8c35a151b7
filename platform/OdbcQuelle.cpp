#include "platform/OdbcQuelle.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>

namespace {

QString nextConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("zk_odbc_%1").arg(++counter);
}

// The driver manager itself answers when the source or its driver is not set up; a
// source that is set up but whose server does not answer is the driver's message.
bool einrichtungsfehler(const QString& text) {
    return text.contains(QLatin1String("Data source name not found"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("Datenquellenname wurde nicht gefunden"),
                         Qt::CaseInsensitive) ||
           text.contains(QLatin1String("IM002")) || text.contains(QLatin1String("IM003")) ||
           text.contains(QLatin1String("Can't open lib"), Qt::CaseInsensitive);
}

QString grund(const QSqlError& e) {
    QString text = e.databaseText().trimmed();
    if (text.isEmpty()) {
        text = e.text().trimmed();
    }
    if (text.isEmpty()) {
        text = e.driverText().trimmed();
    }
    if (text.isEmpty()) {
        // A driver whose connection went away may say nothing at all.
        text = e.nativeErrorCode().isEmpty()
                   ? QStringLiteral(
                         "Der Treiber nennt keinen Grund; vermutlich ist die "
                         "Verbindung zum Stand-Rechner unterbrochen.")
                   : QStringLiteral("Fehlercode %1 des Treibers").arg(e.nativeErrorCode());
    }
    return text;
}

}  // namespace

OdbcQuelle::OdbcQuelle() : connectionName_(nextConnectionName()) {}

OdbcQuelle::~OdbcQuelle() {
    close();
}

bool OdbcQuelle::open(const QString& datenquelle, QString* fehler) {
    close();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC"))) {
        if (fehler) {
            *fehler = QStringLiteral("Der ODBC-Treiber von Qt ist nicht installiert.");
        }
        return false;
    }
    bool ok = false;
    einrichtungFehlt_ = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), connectionName_);
        // A range PC that is switched off or stops answering must not hold the import for
        // minutes: login and every later call are bounded. Drivers pass over keywords they
        // do not know; MariaDB's takes its read and write timeouts from these.
        // Qt puts "DSN=" in front of the name itself.
        db.setDatabaseName(QStringLiteral("%1;CONN_TIMEOUT=%2;READ_TIMEOUT=%2;WRITE_TIMEOUT=%2")
                               .arg(datenquelle)
                               .arg(kAntwortfristSekunden));
        db.setConnectOptions(
            QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1;SQL_ATTR_CONNECTION_TIMEOUT=%1")
                .arg(kAntwortfristSekunden));
        ok = db.open();
        if (!ok) {
            const QString text = grund(db.lastError());
            einrichtungFehlt_ = einrichtungsfehler(text);
            if (fehler) {
                *fehler = text;
            }
        }
    }
    if (!ok) {
        close();
    }
    gestoert_ = !ok;
    return ok;
}

void OdbcQuelle::close() {
    if (QSqlDatabase::contains(connectionName_)) {
        {
            QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
            if (db.isOpen()) {
                db.close();
            }
        }
        QSqlDatabase::removeDatabase(connectionName_);
    }
}

bool OdbcQuelle::isOpen() const {
    return QSqlDatabase::contains(connectionName_) &&
           QSqlDatabase::database(connectionName_, false).isOpen();
}

SqlRows OdbcQuelle::select(const QString& sql) {
    if (!isOpen()) {
        throw DatabaseError(QStringLiteral("Die Verbindung zur Datenquelle ist nicht offen."));
    }
    QSqlQuery query(QSqlDatabase::database(connectionName_, false));
    query.setForwardOnly(true);
    if (!query.exec(sql)) {
        lesefehler(query.lastError());
    }
    SqlRows result;
    const QSqlRecord rec = query.record();
    for (int c = 0; c < rec.count(); ++c) {
        result.columns.append(rec.fieldName(c));
    }
    while (query.next()) {
        QVariantList row;
        row.reserve(rec.count());
        for (int c = 0; c < rec.count(); ++c) {
            row.append(query.value(c));
        }
        result.rows.push_back(std::move(row));
    }
    if (query.lastError().isValid()) {
        lesefehler(query.lastError());
    }
    gestoert_ = false;
    return result;
}

void OdbcQuelle::lesefehler(const QSqlError& e) {
    gestoert_ = true;
    throw DatabaseError(
        QStringLiteral("Der Rechner der Meyton-Anlage hat die Abfrage nicht beantwortet: er "
                       "antwortet nicht, ist nicht mehr erreichbar oder kennt sie nicht.") +
        treiberzeile(grund(e)));
}
