#pragma once

#include <QString>
#include <QVariantList>

#include <memory>

struct SqlRows;
struct sqlite3;
struct sqlite3_stmt;

// The program's statements on an SQLite file, run on the connection's own handle: prepared
// once, values bound and rows read straight into SqlRows, without a driver's row cache in
// between. Values are bound and read as Qt's SQLite driver binds and reads them, so that
// what is stored and shown is the same either way.
namespace sqlitedirekt {

class Anweisung {
  public:
    explicit Anweisung(sqlite3_stmt* s) : s_(s) {}
    ~Anweisung();
    Anweisung(const Anweisung&) = delete;
    Anweisung& operator=(const Anweisung&) = delete;
    sqlite3_stmt* s() const { return s_; }
    // Rows of its last run: a statement that read many shares the texts that repeat.
    qsizetype zeilenZuletzt = 0;

  private:
    sqlite3_stmt* s_;
};

// The engine's result code (primary and extended) and its own words for a failure.
struct Fehler {
    int code = 0;
    QString text;
};

// Prepares one statement; nullptr and *fehler when the engine refuses it (also when more
// than one statement is given).
std::unique_ptr<Anweisung> vorbereiten(sqlite3* db, const QString& sql, Fehler* fehler);

// Binds `werte` to '?' in order and runs the statement; the rows of a statement that has
// columns go to *zeilen (the statement is a SELECT then: *abfrage true). False and *fehler on
// failure; the statement is reset either way.
bool ausfuehren(sqlite3* db, Anweisung& a, const QVariantList& werte, SqlRows* zeilen,
                bool* abfrage, Fehler* fehler);

}  // namespace sqlitedirekt
