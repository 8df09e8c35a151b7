#pragma once

#include <QDate>
#include <QDateTime>
#include <QStringList>

class Database;

// Age and sex classes. The age counts month boundaries from the birthday to the cut-off,
// 1 October of the season year: (months - 1) / 12 + 1.
int monateBis(const QDate& geburtstag, const QDate& stichtag);
int klassenAlter(int monate);

// The season year of the evening date under the season offset (months).
QDate stichtag(const QDate& abend, int saisonversatz);

struct Klassenzuordnung {
    int zugeordnet = 0;
    QStringList meldungen;  // German, one a member that needs a look
};

// Gives every member the first class of the class table that covers age and sex, members in
// the given order ("Name", "Nr"). A member without a birthday or without a matching class
// keeps the class. One transaction: on failure nothing changes and DatabaseError is thrown.
// A changed class goes to the log of corrections, dated `jetzt`.
Klassenzuordnung klassenBerechnen(Database& db, const QDate& stichtag, const QString& ordnung,
                                  const QDateTime& jetzt);
