#pragma once

#include <QString>
#include <QVariantList>

#include <memory>

struct SqlRows;
struct st_mysql;
struct st_mysql_stmt;

// The program's statements on a MariaDB server, run on the Qt connection's own client handle
// (the same session and transaction): prepared once and run again without the reset that
// Qt's driver sends before every run, a round trip of its own. Values are bound and read as
// Qt's driver binds and reads them, so that what is stored and shown is the same either way.
// Not on Windows, where the server is reached through ODBC.
namespace mariadbdirekt {

class Anweisung {
  public:
    explicit Anweisung(st_mysql_stmt* s) : s_(s) {}
    ~Anweisung();
    Anweisung(const Anweisung&) = delete;
    Anweisung& operator=(const Anweisung&) = delete;
    st_mysql_stmt* s() const { return s_; }

  private:
    st_mysql_stmt* s_;
};

// The server's error number and its own words, as Qt's driver passes them on.
struct Fehler {
    unsigned int code = 0;
    QString text;
};

// Whether every value is of a type bound here exactly as Qt's driver binds it (numbers,
// texts, byte arrays, NULL); the others go through the driver.
bool bindbar(const QVariantList& werte);

// Prepares one statement; nullptr and *fehler when the server refuses it. A statement whose
// rows have a column of a kind not read here gives nullptr with fehler->code 0.
std::unique_ptr<Anweisung> vorbereiten(st_mysql* db, const QString& sql, Fehler* fehler);

// Binds `werte` to '?' in order and runs the statement: its rows go to *zeilen (*abfrage
// true), else *geaendert gets the rows it changed (found rows, as the connection counts
// them). False and *fehler on failure; fehler->code 0 when the server now describes a
// column of a kind not read here (a table changed since): nothing was read, the statement is
// for the driver.
bool ausfuehren(Anweisung& a, const QVariantList& werte, SqlRows* zeilen, bool* abfrage,
                int* geaendert, Fehler* fehler);

}  // namespace mariadbdirekt
