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
    QString dbPfad() const { return pfad(QStringLiteral("Training.db")); }

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
};
