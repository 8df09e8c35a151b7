#pragma once

#include <QString>
#include <QTemporaryDir>

#include "platform/Database.h"

// A temporary folder with a settings file and a new club database of its own.
class TestDaten {
  public:
    TestDaten();
    bool ok() const { return dir_.isValid() && ok_; }
    QString pfad(const QString& name) const { return dir_.filePath(name); }
    QString iniPfad() const { return pfad(QStringLiteral("wettk.ini")); }
    // The club database: a file, or with ZK_DB_ENGINE=mariadb a database on the test's
    // own MariaDB server.
    QString dbPfad() const {
        return adresse_.isEmpty() ? pfad(QStringLiteral("Training.db")) : adresse_;
    }
    static bool aufServer();
    // The test program's own MariaDB server (started when first asked for).
    static class MariaDbServer* server();
    // A new empty database on the test's server (its address).
    static QString leereServerdatenbank();
    // A trigger written for SQLite ("CREATE TRIGGER n BEFORE INSERT ON T [WHEN c] BEGIN
    // SELECT RAISE(ABORT, 'text'); END", or "DROP TRIGGER n"), made on either engine: the
    // way tests let the database refuse a write.
    void ausloeser(const QString& sqlite);

    // A second connection to the club database for arranging and checking rows.
    Database& db() { return db_; }

    void mitglied(int nr, const QString& name, int klasse);
    // A Ringe or Teiler row valid for the given classes.
    void ringeZeile(double uRinge, double punkte, std::initializer_list<int> klassen);
    void teilerZeile(double oTeiler, double punkte, std::initializer_list<int> klassen);
    void anwesenheitsPunkte(int punkte);
    // A stored result (date as ISO text).
    struct Ergebnis {
        int nr;
        QString datum;
        double best10, best20, gesammt, teiler, punkte;
        int jahr = 2024;
        bool anwesend = true;
        bool liegend = false;
    };
    void ergebnis(const Ergebnis& e);
    // The first field of the first row, as a number.
    int zahl(const QString& sql) { return db_.run(sql).rows[0][0].toInt(); }

  private:
    QTemporaryDir dir_;
    Database db_;
    bool ok_ = false;
    QString adresse_;
};
