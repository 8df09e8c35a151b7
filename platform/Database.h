#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <atomic>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/SqlDialect.h"

class QSqlQuery;
class QSqlError;
struct sqlite3;
struct st_mysql;
namespace sqlitedirekt {
class Anweisung;
}
namespace mariadbdirekt {
class Anweisung;
}

// How long any one call to a database server or to the range's data source may wait for an
// answer (reading, writing, logging in), and how long a transaction is tried again while
// another place holds what it needs. A server that says nothing for this long is taken as
// not answering: the user is told and keeps what is on the screen.
inline constexpr int kAntwortfristSekunden = 10;

// The engine's own words as the second line of a German message, named as such; "" when
// the engine said nothing.
QString treiberzeile(const QString& treibertext);

// An engine or dialect error. The message is German and fit to show to the user.
class DatabaseError : public std::runtime_error {
  public:
    explicit DatabaseError(const QString& message, bool wiederholbar = false,
                           bool verbindungWeg = false, bool gesperrt = false)
        : std::runtime_error(message.toStdString()),
          message_(message),
          wiederholbar_(wiederholbar),
          verbindungWeg_(verbindungWeg),
          gesperrt_(gesperrt) {}
    const QString& message() const { return message_; }
    // Another user held what was needed too long (a server database); the whole
    // transaction may be tried again.
    bool wiederholbar() const { return wiederholbar_; }
    // The server dropped the connection; it is opened again before the next statement.
    bool verbindungWeg() const { return verbindungWeg_; }
    // Another place or program holds the database (a file locked, rows held on a server).
    bool gesperrt() const { return gesperrt_; }

  private:
    QString message_;
    bool wiederholbar_ = false;
    bool verbindungWeg_ = false;
    bool gesperrt_ = false;
};

// The rows of a SELECT, read completely.
struct SqlRows {
    QStringList columns;
    std::vector<QVariantList> rows;

    bool empty() const { return rows.empty(); }
    std::size_t size() const { return rows.size(); }
    // Column index by name without regard to case, -1 when absent.
    int column(const QString& name) const;
    // The field of a row by column name; an invalid QVariant when either is absent.
    QVariant value(std::size_t row, const QString& name) const;
};

struct ColumnInfo {
    QString name;
    QString declaredType;  // TEXT, DATE, SINGLE, DOUBLE, LONG, INTEGER, YESNO ...
};

// One club database through Qt SQL: an SQLite file, or a database on a MariaDB server
// named "mariadb://user@host:port/dbname" (the password from the user's ~/.my.cnf or asked
// for). The only place that talks to the drivers; the program's statements are SQLite's
// and are carried over to the server here.
// Statements in the old dialect go through select()/execute(); the program's own
// fixed statements with bound values go through run(), prepared once and reused.
class Database {
  public:
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    enum class Zugriff { LesenSchreiben, NurLesen };

    // Opens an existing file; with `create` a missing file is created. On failure the
    // German reason is in *error and nothing is open.
    bool open(const QString& path, QString* error, bool create = false,
              Zugriff zugriff = Zugriff::LesenSchreiben);
    // The path names a database on a server, not a file.
    static bool istServer(const QString& path);
    bool aufServer() const { return server_; }
    // Asked for the password of a server database when ~/.my.cnf has none; "" cancels.
    static void setPasswortAbfrage(std::function<QString(const QString& adresse)> abfrage);
    // What another connection (of another thread) needs to open the same database without
    // asking for the password again.
    struct Zugang {
        QString pfad;
        QString passwort;
    };
    Zugang zugang() const { return {path_, passwort_}; }
    bool open(const Zugang& zugang, QString* error, Zugriff zugriff = Zugriff::NurLesen);
    void close();
    bool isOpen() const;
    const QString& path() const { return path_; }

    // Dialect SQL (translated first). Throw DatabaseError on failure.
    SqlRows select(const QString& dialectSql,
                   sqldialect::HashDateOrder order = sqldialect::HashDateOrder::MonthFirst);
    int execute(const QString& dialectSql,
                sqldialect::HashDateOrder order = sqldialect::HashDateOrder::MonthFirst);

    // SQLite SQL with '?' placeholders. Returns the rows of a SELECT (else empty rows).
    SqlRows run(const QString& sql, const QVariantList& values = {});
    // A SELECT whose rows the transaction is about to change: on a server they stay locked
    // until it ends, so that two places storing at once cannot both miss them.
    SqlRows runZumAendern(const QString& sql, const QVariantList& values = {});
    // Statements kept prepared (bounded).
    qsizetype vorbereitet() const { return prepared_.size(); }
    // Number of rows changed by the last run()/execute().
    int changedRows() const { return changedRows_; }

    // A server connection that was dropped is opened again; false with the German reason.
    bool wiederVerbinden(QString* grund = nullptr);

    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return inTransaction_; }

    // Nothing can be written (a read-only file or folder). A file that another program holds
    // locked is not read-only: its writes fail when they are tried.
    bool schreibgeschuetzt();

    QStringList tables() const;  // tables and views
    // Whether the table or view exists. One found is remembered until the connection is
    // made again, a statement changes tables or one fails, so that a store that asks for it
    // each time does not ask the server each time.
    bool hasTable(const QString& name) const;
    std::vector<ColumnInfo> columns(const QString& table) const;

  private:
    // Where a prepared statement is kept: with the program's own, with the dialect
    // statements of late (a listing shown again, a look-up repeated), or not at all.
    enum class Vorrat { Programm, Dialekt, Keiner };
    SqlRows runNative(const QString& sql, const QVariantList& values,
                      Vorrat vorrat = Vorrat::Programm, const QString& schluessel = {});
    SqlRows ausfuehren(const QString& sql, const QVariantList& values, Vorrat vorrat,
                       const QString& schluessel);
    SqlRows direktAusfuehren(const QString& sql, const QVariantList& values, Vorrat vorrat,
                             const QString& schluessel);
    // A program statement on the server's own client handle; false when it goes through the
    // driver instead (values or columns of a kind read there only).
    bool serverDirekt(const QString& sql, const QVariantList& values, SqlRows* result);
    void vorraeteLeeren();
    bool sitzungEinrichten(QString* grund);
    // The server kept silent for the whole time allowed (or could not be reached again
    // after that): it is not asked again before the program gets back to its events, so
    // that one action waits for it once, not once per statement.
    void stummMerken();
    bool stumm();
    QString passwort_;
    bool verbindungWeg_ = false;  // the server dropped the connection
    std::shared_ptr<std::atomic<bool>> stumm_ = std::make_shared<std::atomic<bool>>(false);
    QElapsedTimer stummSeit_;
    static constexpr qsizetype kHoechstensVorbereitet = 200;
    QString connectionName_;
    QString path_;
    bool inTransaction_ = false;
    int changedRows_ = 0;
    // A prepared statement: through the driver, on the file's own handle or on the server
    // connection's own client handle.
    struct Vorbereitet {
        std::shared_ptr<QSqlQuery> qt;
        std::shared_ptr<sqlitedirekt::Anweisung> direkt;
        std::shared_ptr<mariadbdirekt::Anweisung> server;
    };
    QHash<QString, Vorbereitet> prepared_;
    // Dialect statements by date order and text, translated and prepared (bounded).
    static constexpr qsizetype kHoechstensDialekt = 32;
    QHash<QString, Vorbereitet> dialekt_;
    sqlite3* handle_ = nullptr;  // the SQLite file's connection, nullptr for a server
    st_mysql* mysql_ = nullptr;  // the server connection's client handle, where it is used
    QHash<QString, QString> uebersetzt_;
    mutable QSet<QString> tabellenDa_;  // found by hasTable(), in lower case
    bool server_ = false;
    bool openServer(const QString& adresse, QString* error, const QString* passwort = nullptr);
    QString verbindungText(const QString& treibertext) const;
    QString stummText() const;
    [[noreturn]] void fehlerWerfen(const QString& satz, const QSqlError& fehler, bool weg,
                                   qint64 gewartetMs);
    [[noreturn]] void serverFehlerWerfen(const QString& satz, const QSqlError& fehler, bool weg,
                                         qint64 gewartetMs);
};

// Rolls back unless committed: writes that belong together succeed or leave the old state.
class Transaction {
  public:
    explicit Transaction(Database& db) : db_(db) { db_.begin(); }
    ~Transaction() {
        if (!done_) {
            try {
                db_.rollback();
            } catch (...) {
                // Nothing more can be done while unwinding.
            }
        }
    }
    void commit() {
        db_.commit();
        done_ = true;
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

  private:
    Database& db_;
    bool done_ = false;
};

// A short, growing and scattered pause, so that two places that just collided do not
// collide again at once.
void vorWiederholungWarten(int versuch);

// Runs `schritte` in one transaction; when another place held the data too long (a
// server's rows or a locked file), the whole transaction is tried again, up to `versuche`
// times and while the time allowed lasts. The last failure is thrown.
template <class Schritte>
void inTransaktion(Database& db, Schritte&& schritte, int versuche = 6) {
    QElapsedTimer uhr;
    uhr.start();
    for (int versuch = 1;; ++versuch) {
        try {
            Transaction t(db);
            schritte();
            t.commit();
            return;
        } catch (const DatabaseError& e) {
            // A connection the server dropped takes the open transaction with it; on the
            // connection opened again the whole transaction is tried once more.
            if (e.verbindungWeg() && versuch < versuche && db.wiederVerbinden()) {
                continue;
            }
            // A try that waited for a lock takes a few seconds; one more is begun only when
            // it ends within the time allowed.
            const qint64 gewartet = uhr.elapsed();
            if (!e.wiederholbar() || versuch >= versuche ||
                gewartet + gewartet / versuch > kAntwortfristSekunden * 1000) {
                throw;
            }
        }
        vorWiederholungWarten(versuch);
    }
}
