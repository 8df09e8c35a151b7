#include "platform/Database.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>

namespace {

QString nextConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("zk_db_%1").arg(++counter);
}

Q_LOGGING_CATEGORY(lcSql, "zielkunst.sql")

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

// What went wrong, in German where the cause is a common one; the engine's own words
// otherwise. Never the statement: SQL is no text for a club official.
QString engineText(const QSqlError& e) {
    switch (engineCode(e)) {
        case kBusy:
        case kLocked:
            return QStringLiteral(
                "Die Datenbank wird gerade von einem anderen Programm benutzt. "
                "Bitte das andere Programm schließen und es noch einmal "
                "versuchen.");
        case kReadOnly:
            return QStringLiteral(
                "Die Datenbank ist schreibgeschützt; es kann nichts "
                "gespeichert werden.");
        case kFull:
            return QStringLiteral("Der Datenträger ist voll.");
        default:
            break;
    }
    QString text = e.databaseText().trimmed();
    if (text.isEmpty()) {
        text = e.text().trimmed();
    }
    return text;
}

}  // namespace

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

bool Database::open(const QString& path, QString* error, bool create, Zugriff zugriff) {
    close();
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
            return fail(QStringLiteral("Die Datei \"%1\" kann nicht geöffnet werden: %2")
                            .arg(path, engineText(db.lastError())));
        }
    }
    path_ = path;
    // SQLite opens lazily; the first read tells whether the file is a database at all.
    QSqlQuery probe(QSqlDatabase::database(connectionName_, false));
    if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        const QSqlError e = probe.lastError();
        probe = QSqlQuery();
        if (engineCode(e) == kBusy || engineCode(e) == kLocked) {
            return fail(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2")
                            .arg(path, engineText(e)));
        }
        return fail(QStringLiteral("Die Datei \"%1\" ist keine lesbare Datenbank: %2")
                        .arg(path, engineText(e)));
    }
    return true;
}

void Database::close() {
    prepared_.clear();
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

bool Database::isOpen() const {
    return QSqlDatabase::contains(connectionName_) &&
           QSqlDatabase::database(connectionName_, false).isOpen();
}

SqlRows Database::select(const QString& dialectSql, sqldialect::HashDateOrder order) {
    const auto t = sqldialect::translate(dialectSql, order);
    if (!t.ok()) {
        throw DatabaseError(t.error);
    }
    return runNative(t.sql, {});
}

int Database::execute(const QString& dialectSql, sqldialect::HashDateOrder order) {
    const auto t = sqldialect::translate(dialectSql, order);
    if (!t.ok()) {
        throw DatabaseError(t.error);
    }
    runNative(t.sql, {});
    return changedRows_;
}

SqlRows Database::run(const QString& sql, const QVariantList& values) {
    return runNative(sql, values);
}

SqlRows Database::runNative(const QString& sql, const QVariantList& values) {
    if (!isOpen()) {
        throw DatabaseError(QStringLiteral("Es ist keine Datenbank geöffnet."));
    }
    std::shared_ptr<QSqlQuery>& query = prepared_[sql];
    if (!query) {
        query = std::make_shared<QSqlQuery>(QSqlDatabase::database(connectionName_, false));
        query->setForwardOnly(true);
        if (!query->prepare(sql)) {
            const QString reason = engineText(query->lastError());
            prepared_.remove(sql);
            qCWarning(lcSql) << reason << sql;
            throw DatabaseError(
                QStringLiteral("Fehler in der Datenbank \"%1\": %2").arg(path_, reason));
        }
    }
    for (int i = 0; i < values.size(); ++i) {
        query->bindValue(i, values[i]);
    }
    if (!query->exec()) {
        const QString reason = engineText(query->lastError());
        query->finish();
        qCWarning(lcSql) << reason << sql;
        throw DatabaseError(
            QStringLiteral("Fehler in der Datenbank \"%1\": %2").arg(path_, reason));
    }
    SqlRows result;
    if (query->isSelect()) {
        const QSqlRecord rec = query->record();
        for (int c = 0; c < rec.count(); ++c) {
            result.columns.append(rec.fieldName(c));
        }
        while (query->next()) {
            QVariantList row;
            row.reserve(rec.count());
            for (int c = 0; c < rec.count(); ++c) {
                row.append(query->value(c));
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

void Database::begin() {
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    if (!db.isOpen() || !db.transaction()) {
        throw DatabaseError(
            QStringLiteral("Die Datenbank \"%1\" kann keine Transaktion beginnen: %2")
                .arg(path_, engineText(db.lastError())));
    }
    inTransaction_ = true;
}

void Database::commit() {
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    if (!db.commit()) {
        const QString reason = engineText(db.lastError());
        db.rollback();
        inTransaction_ = false;
        throw DatabaseError(
            QStringLiteral("Die Änderungen in \"%1\" konnten nicht gespeichert werden: %2")
                .arg(path_, reason));
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
    if (!isOpen() || inTransaction_) {
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
    if (q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table','view') "
                              "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name"))) {
        while (q.next()) {
            names.append(q.value(0).toString());
        }
    }
    return names;
}

bool Database::hasTable(const QString& name) const {
    for (const QString& t : tables()) {
        if (t.compare(name, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

std::vector<ColumnInfo> Database::columns(const QString& table) const {
    std::vector<ColumnInfo> cols;
    QSqlQuery q(QSqlDatabase::database(connectionName_, false));
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
