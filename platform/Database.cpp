#include "platform/Database.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>

#include "platform/DatabaseServer.h"
#include "platform/DeutscheOrdnung.h"
#include "platform/MariaDbSql.h"
#include "platform/SqliteDirekt.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

#include <atomic>

namespace {

QString nextConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("zk_db_%1").arg(++counter);
}

// SQLite's primary result codes that the user can do something about.
constexpr int kBusy = 5;
constexpr int kLocked = 6;
constexpr int kReadOnly = 8;
constexpr int kFull = 13;

int engineCode(const QSqlError& e) {
    bool ok = false;
    const int code = e.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xff) : -1;
}

bool dateiGesperrt(int code) {
    return code == kBusy || code == kLocked;
}

bool dateiGesperrt(const QSqlError& e) {
    return dateiGesperrt(engineCode(e));
}

// What went wrong, in German where the cause is a common one ("" otherwise). Never the
// statement: SQL is no text for a club official.
QString engineSatz(int code) {
    switch (code) {
        case kBusy:
        case kLocked:
            return QStringLiteral(
                "Die Datenbank wird gerade an einem anderen Platz oder von einem anderen "
                "Programm benutzt und ist gesperrt. Bitte in einigen Sekunden noch einmal "
                "versuchen oder das andere Programm schließen.");
        case kReadOnly:
            return QStringLiteral(
                "Die Datenbank ist schreibgeschützt; es kann nichts "
                "gespeichert werden.");
        case kFull:
            return QStringLiteral("Der Datenträger ist voll.");
        default:
            return {};
    }
}

QString engineSatz(const QSqlError& e) {
    return engineSatz(engineCode(e));
}

// The file's own connection handle under Qt's driver; nullptr when there is none.
sqlite3* sqliteHandle(const QSqlDatabase& db) {
    const QVariant h = db.driver() ? db.driver()->handle() : QVariant();
    if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3*") != 0) {
        return nullptr;
    }
    return *static_cast<sqlite3* const*>(h.data());
}

// A failed statement on a file: why where the cause is known, else `satz`; the engine's
// words below. A file another place holds may be tried again.
DatabaseError dateiFehler(const QString& satz, int code, const QString& treiberText) {
    const QString grund = engineSatz(code);
    return DatabaseError((grund.isEmpty() ? satz : grund) + treiberzeile(treiberText),
                         dateiGesperrt(code), false, dateiGesperrt(code));
}

// What failed, why where the cause is known, and the engine's words below.
QString dateiMeldung(const QString& was, const QSqlError& e) {
    const QString satz = engineSatz(e);
    return was + (satz.isEmpty() ? QString() : u' ' + satz) + treiberzeile(datenbank::treibertext(e));
}

}  // namespace

QString datenbank::treibertext(const QSqlError& e) {
    QString text = e.databaseText().trimmed();
    if (text.isEmpty()) {
        text = e.text().trimmed();
    }
    return text;
}

QString treiberzeile(const QString& treibertext) {
    const QString t = treibertext.trimmed();
    return t.isEmpty() ? QString() : QStringLiteral("\nMeldung des Datenbanktreibers: ") + t;
}

int SqlRows::column(const QString& name) const {
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

QVariant SqlRows::value(std::size_t row, const QString& name) const {
    const int c = column(name);
    if (c < 0 || row >= rows.size() || c >= rows[row].size()) {
        return {};
    }
    return rows[row][c];
}

Database::Database() : connectionName_(nextConnectionName()) {}

Database::~Database() {
    close();
}

bool Database::istServer(const QString& path) {
    return path.trimmed().startsWith(QStringLiteral("mariadb://"), Qt::CaseInsensitive);
}


bool Database::open(const Zugang& zugang, QString* error, Zugriff zugriff) {
    if (istServer(zugang.pfad)) {
        close();
        return openServer(zugang.pfad, error, &zugang.passwort);
    }
    return open(zugang.pfad, error, false, zugriff);
}







bool Database::open(const QString& path, QString* error, bool create, Zugriff zugriff) {
    close();
    if (istServer(path)) {
        return openServer(path, error);
    }
    auto fail = [&](const QString& reason) {
        if (error) {
            *error = reason;
        }
        close();
        return false;
    };
    const QFileInfo info(path);
    if (!create && !info.exists()) {
        return fail(QStringLiteral("Die Datei \"%1\" gibt es nicht.").arg(path));
    }
    if (info.exists() && !info.isFile()) {
        return fail(QStringLiteral("\"%1\" ist keine Datei.").arg(path));
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
        db.setDatabaseName(path);
        db.setConnectOptions(zugriff == Zugriff::NurLesen
                                 ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000;QSQLITE_OPEN_READONLY")
                                 : QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
        if (!db.open()) {
            return fail(dateiMeldung(
                QStringLiteral("Die Datei \"%1\" kann nicht geöffnet werden.").arg(path),
                db.lastError()));
        }
        deutsch::sqliteEinrichten(db);
        handle_ = sqliteHandle(db);
    }
    path_ = path;
    // SQLite opens lazily; the first read tells whether the file is a database at all.
    QSqlQuery probe(QSqlDatabase::database(connectionName_, false));
    if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        const QSqlError e = probe.lastError();
        probe = QSqlQuery();
        if (dateiGesperrt(e)) {
            return fail(dateiMeldung(
                QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden.").arg(path), e));
        }
        return fail(dateiMeldung(
            QStringLiteral("Die Datei \"%1\" ist keine lesbare Datenbank.").arg(path), e));
    }
    return true;
}

void Database::vorraeteLeeren() {
    prepared_.clear();
    dialekt_.clear();
}

void Database::close() {
    vorraeteLeeren();  // the file's statements go before its connection
    tabellenDa_.clear();
    handle_ = nullptr;
    mysql_ = nullptr;
    server_ = false;
    inTransaction_ = false;
    if (QSqlDatabase::contains(connectionName_)) {
        {
            QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
            if (db.isOpen()) {
                db.close();
            }
        }
        QSqlDatabase::removeDatabase(connectionName_);
    }
    path_.clear();
}

// A server database whose connection went away stays open for the program: the connection
// is made again before the next statement.
bool Database::isOpen() const {
    return QSqlDatabase::contains(connectionName_) &&
           (QSqlDatabase::database(connectionName_, false).isOpen() || (server_ && verbindungWeg_));
}

SqlRows Database::select(const QString& dialectSql, sqldialect::HashDateOrder order) {
    // The same text in the same date order always translates alike: a statement kept from
    // an earlier call is run again without translating or preparing it anew.
    const QString schluessel =
        (order == sqldialect::HashDateOrder::DayFirst ? QLatin1Char('T') : QLatin1Char('M')) +
        dialectSql;
    QString sql = uebersetzt_.value(schluessel);
    if (sql.isEmpty()) {
        const auto t = sqldialect::translate(dialectSql, order);
        if (!t.ok()) {
            throw DatabaseError(t.error);
        }
        sql = t.sql;
        if (uebersetzt_.size() >= kHoechstensDialekt) {
            uebersetzt_.clear();
        }
        uebersetzt_.insert(schluessel, sql);
    }
    return runNative(sql, {}, Vorrat::Dialekt, schluessel);
}

int Database::execute(const QString& dialectSql, sqldialect::HashDateOrder order) {
    tabellenDa_.clear();
    const auto t = sqldialect::translate(dialectSql, order);
    if (!t.ok()) {
        throw DatabaseError(t.error);
    }
    runNative(t.sql, {}, Vorrat::Keiner);
    return changedRows_;
}

SqlRows Database::run(const QString& sql, const QVariantList& values) {
    const QStringView anfang = QStringView(sql).trimmed().left(6);
    if (anfang.startsWith(u"CREATE", Qt::CaseInsensitive) ||
        anfang.startsWith(u"DROP", Qt::CaseInsensitive) ||
        anfang.startsWith(u"ALTER", Qt::CaseInsensitive)) {
        tabellenDa_.clear();
    }
    return runNative(sql, values);
}

SqlRows Database::runZumAendern(const QString& sql, const QVariantList& values) {
    return runNative(server_ ? sql + QStringLiteral(" FOR UPDATE") : sql, values);
}

// A connection the server dropped is opened again before the statement, and once more
// when the statement finds it gone; within a transaction the caller starts over. A server
// that let the statement wait the whole time allowed is not asked again in this action.
SqlRows Database::runNative(const QString& sql, const QVariantList& values, Vorrat vorrat,
                            const QString& schluessel) {
    if (server_ && verbindungWeg_ && !inTransaction_) {
        QString grund;
        if (!wiederVerbinden(&grund)) {
            throw DatabaseError(grund, false, true);
        }
    }
    try {
        return ausfuehren(sql, values, vorrat, schluessel);
    } catch (const DatabaseError& e) {
        tabellenDa_.clear();  // perhaps a table that went
        if (!e.verbindungWeg() || inTransaction_ || stumm()) {
            throw;
        }
        QString grund;
        if (!wiederVerbinden(&grund)) {
            throw DatabaseError(grund, false, true);
        }
        return ausfuehren(sql, values, vorrat, schluessel);
    }
}

// The German message of a failed statement: why, where the cause is known, else `satz`;
// the engine's words below.
void Database::fehlerWerfen(const QString& satz, const QSqlError& fehler, bool weg,
                            qint64 gewartetMs) {
    if (server_) {
        serverFehlerWerfen(satz, fehler, weg, gewartetMs);
    }
    throw dateiFehler(satz, engineCode(fehler), datenbank::treibertext(fehler));
}

// Statements with bound values are prepared once and kept. Dialect statements carry their
// values in the text: the last few are kept apart, so that a run of one-offs never pushes
// out the program's own.
SqlRows Database::ausfuehren(const QString& sql, const QVariantList& values, Vorrat vorrat,
                             const QString& schluessel) {
    if (!QSqlDatabase::contains(connectionName_) ||
        !QSqlDatabase::database(connectionName_, false).isOpen()) {
        throw DatabaseError(QStringLiteral("Es ist keine Datenbank geöffnet."));
    }
    auto* ablage = vorrat == Vorrat::Programm  ? &prepared_
                    : vorrat == Vorrat::Dialekt ? &dialekt_
                                                : nullptr;
    const QString& name = vorrat == Vorrat::Dialekt ? schluessel : sql;
    if (handle_ && !server_) {
        return direktAusfuehren(sql, values, vorrat, name);
    }
    if (server_ && mysql_ && vorrat == Vorrat::Programm) {
        SqlRows result;
        if (serverDirekt(sql, values, &result)) {
            return result;
        }
    }
    std::shared_ptr<QSqlQuery> query = ablage ? ablage->value(name).qt : nullptr;
    if (!query) {
        query = std::make_shared<QSqlQuery>(QSqlDatabase::database(connectionName_, false));
        query->setForwardOnly(true);
        const QString geordnet = deutsch::namenOrdnen(sql, server_);
        QElapsedTimer uhr;
        uhr.start();
        if (!query->prepare(server_ ? mariadbsql::uebersetzen(geordnet) : geordnet)) {
            const QSqlError fehler = query->lastError();
            fehlerWerfen(QStringLiteral("Die Datenbank \"%1\" meldet einen Fehler.").arg(path_),
                         fehler, server_ && datenbank::verbindungVerloren(fehler), uhr.elapsed());
        }
        if (ablage) {
            const qsizetype hoechstens =
                vorrat == Vorrat::Dialekt ? kHoechstensDialekt : kHoechstensVorbereitet;
            if (ablage->size() >= hoechstens) {
                ablage->clear();  // a bound that a program's own statements never reach
            }
            ablage->insert(name, {query, nullptr, nullptr});
        }
    }
    for (int i = 0; i < values.size(); ++i) {
        query->bindValue(i, values[i]);
    }
    QElapsedTimer uhr;
    uhr.start();
    if (!query->exec()) {
        const QSqlError fehler = query->lastError();
        query->finish();
        query.reset();
        fehlerWerfen(QStringLiteral("Die Datenbank \"%1\" meldet einen Fehler.").arg(path_), fehler,
                     server_ && datenbank::verbindungVerloren(fehler), uhr.elapsed());
    }
    SqlRows result;
    if (query->isSelect()) {
        const QSqlRecord rec = query->record();
        for (int c = 0; c < rec.count(); ++c) {
            result.columns.append(rec.fieldName(c));
            // The server's key answers to the name the statement asked for.
            if (server_ && result.columns.back() == mariadbsql::kZeilenschluessel &&
                !sql.contains(mariadbsql::kZeilenschluessel)) {
                result.columns.back() = QStringLiteral("rowid");
            }
        }
        while (query->next()) {
            QVariantList row;
            row.reserve(rec.count());
            for (int c = 0; c < rec.count(); ++c) {
                row.append(server_ ? datenbank::wieDatei(query->value(c)) : query->value(c));
            }
            result.rows.push_back(std::move(row));
        }
        changedRows_ = 0;
    } else {
        changedRows_ = query->numRowsAffected();
    }
    query->finish();
    return result;
}

// The same on the file's own handle: no driver row cache, the same values and messages.
SqlRows Database::direktAusfuehren(const QString& sql, const QVariantList& values, Vorrat vorrat,
                                   const QString& name) {
    auto* ablage = vorrat == Vorrat::Programm  ? &prepared_
                   : vorrat == Vorrat::Dialekt ? &dialekt_
                                               : nullptr;
    std::shared_ptr<sqlitedirekt::Anweisung> a = ablage ? ablage->value(name).direkt : nullptr;
    sqlitedirekt::Fehler fehler;
    const auto scheitern = [&] {
        return dateiFehler(QStringLiteral("Die Datenbank \"%1\" meldet einen Fehler.").arg(path_),
                           fehler.code & 0xff, fehler.text.trimmed());
    };
    if (!a) {
        a = sqlitedirekt::vorbereiten(handle_, deutsch::namenOrdnen(sql, false), &fehler);
        if (!a) {
            throw scheitern();
        }
        if (ablage) {
            const qsizetype hoechstens =
                vorrat == Vorrat::Dialekt ? kHoechstensDialekt : kHoechstensVorbereitet;
            if (ablage->size() >= hoechstens) {
                ablage->clear();  // a bound that a program's own statements never reach
            }
            ablage->insert(name, {nullptr, a, nullptr});
        }
    }
    SqlRows result;
    bool abfrage = false;
    if (!sqlitedirekt::ausfuehren(handle_, *a, values, &result, &abfrage, &fehler)) {
        throw scheitern();
    }
    changedRows_ = abfrage ? 0 : sqlite3_changes(handle_);
    return result;
}


void Database::begin() {
    if (server_ && verbindungWeg_) {
        QString grund;
        if (!wiederVerbinden(&grund)) {
            throw DatabaseError(grund, false, true);
        }
    }
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    if (!db.isOpen()) {
        throw DatabaseError(QStringLiteral("Es ist keine Datenbank geöffnet."));
    }
    const QString satz =
        QStringLiteral("Die Datenbank \"%1\" kann keine Transaktion beginnen.").arg(path_);
    QElapsedTimer uhr;
    uhr.start();
    if (!server_) {
        // The write lock is taken at the start: what a transaction reads stays as read until
        // it ends, also when another program writes the same file.
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
            fehlerWerfen(satz, q.lastError(), false, uhr.elapsed());
        }
        inTransaction_ = true;
        return;
    }
    if (!db.transaction()) {
        const QSqlError fehler = db.lastError();
        const bool weg = datenbank::verbindungVerloren(fehler);
        if (weg && uhr.elapsed() < 1000 && wiederVerbinden() && db.transaction()) {
            inTransaction_ = true;
            return;
        }
        fehlerWerfen(satz, fehler, weg, uhr.elapsed());
    }
    inTransaction_ = true;
}

void Database::commit() {
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    QElapsedTimer uhr;
    uhr.start();
    if (!server_) {
        // Begun by hand, ended by hand: the engine's code tells a file another program holds.
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("COMMIT"))) {
            const QSqlError fehler = q.lastError();
            q.exec(QStringLiteral("ROLLBACK"));
            inTransaction_ = false;
            fehlerWerfen(
                QStringLiteral("Die Änderungen in \"%1\" konnten nicht gespeichert werden.")
                    .arg(path_),
                fehler, false, uhr.elapsed());
        }
        inTransaction_ = false;
        return;
    }
    if (!db.commit()) {
        const QSqlError fehler = db.lastError();
        const qint64 gewartet = uhr.elapsed();
        db.rollback();
        inTransaction_ = false;
        fehlerWerfen(
            QStringLiteral("Die Änderungen in \"%1\" konnten nicht gespeichert werden.").arg(path_),
            fehler, server_ && datenbank::verbindungVerloren(fehler), gewartet);
    }
    inTransaction_ = false;
}

void Database::rollback() {
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    inTransaction_ = false;
    if (db.isOpen()) {
        db.rollback();
    }
}

bool Database::schreibgeschuetzt() {
    if (!isOpen() || inTransaction_ || server_) {
        return false;
    }
    QSqlQuery q(QSqlDatabase::database(connectionName_, false));
    // A write that is rolled back tells; a lock held elsewhere must not hold us up here.
    q.exec(QStringLiteral("PRAGMA busy_timeout = 0"));
    int code = 0;
    if (q.exec(QStringLiteral("BEGIN"))) {
        if (!q.exec(QStringLiteral("CREATE TABLE main.zk_schreibprobe (a)"))) {
            code = engineCode(q.lastError());
        }
        q.exec(QStringLiteral("ROLLBACK"));
    }
    q.exec(QStringLiteral("PRAGMA busy_timeout = 3000"));
    return code == kReadOnly;
}

QStringList Database::tables() const {
    QStringList names;
    QSqlQuery q(QSqlDatabase::database(connectionName_, false));
    if (server_) {
        if (q.exec(QStringLiteral("SELECT table_name FROM information_schema.tables WHERE "
                                  "table_schema = DATABASE() ORDER BY table_name"))) {
            while (q.next()) {
                names.append(q.value(0).toString());
            }
        }
        return names;
    }
    if (q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table','view') "
                              "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name"))) {
        while (q.next()) {
            names.append(q.value(0).toString());
        }
    }
    return names;
}

bool Database::hasTable(const QString& name) const {
    const QString schluessel = name.toLower();
    if (tabellenDa_.contains(schluessel)) {
        return true;
    }
    for (const QString& t : tables()) {
        if (t.compare(name, Qt::CaseInsensitive) == 0) {
            tabellenDa_.insert(schluessel);
            return true;
        }
    }
    return false;
}

std::vector<ColumnInfo> Database::columns(const QString& table) const {
    std::vector<ColumnInfo> cols;
    QSqlQuery q(QSqlDatabase::database(connectionName_, false));
    if (server_) {
        // The declared type is the column's comment; the invisible key is no field.
        q.prepare(QStringLiteral(
            "SELECT column_name, column_comment, data_type FROM information_schema.columns "
            "WHERE table_schema = DATABASE() AND table_name = ? AND column_name <> ? "
            "ORDER BY ordinal_position"));
        q.addBindValue(table);
        q.addBindValue(mariadbsql::kZeilenschluessel);
        if (q.exec()) {
            while (q.next()) {
                const QString kommentar = q.value(1).toString();
                cols.push_back({q.value(0).toString(),
                                kommentar.isEmpty() ? q.value(2).toString().toUpper() : kommentar});
            }
        }
        return cols;
    }
    // table_info takes the name as a value, so it can be bound safely.
    q.prepare(QStringLiteral("SELECT name, type FROM pragma_table_info(?)"));
    q.addBindValue(table);
    if (q.exec()) {
        while (q.next()) {
            cols.push_back({q.value(0).toString(), q.value(1).toString()});
        }
    }
    return cols;
}

void vorWiederholungWarten(int versuch) {
    const int ms = 5 * versuch + QRandomGenerator::global()->bounded(10 * versuch);
    QThread::msleep(static_cast<unsigned long>(ms));
}
