#include "tests/support/TestDaten.h"

#include <QStringList>

#include "core/Schema.h"

TestDaten::TestDaten() {
    QString fehler;
    ok_ = dir_.isValid() && schema::neueVereinsdatenbank(dbPfad(), &fehler) &&
          db_.open(dbPfad(), &fehler);
    if (!ok_) {
        qWarning("TestDaten: %s", qPrintable(fehler));
    }
}

void TestDaten::mitglied(int nr, const QString& name, int klasse) {
    db_.run(QStringLiteral("INSERT INTO Mitglieder (Nr, Name, Klasse) VALUES (?, ?, ?)"),
            {nr, name, klasse});
}

namespace {
void punkteZeile(Database& db, const QString& tabelle, const QString& grenze, double wert,
                 double punkte, std::initializer_list<int> klassen) {
    QStringList spalten{grenze, QStringLiteral("Punkte")};
    QVariantList werte{wert, punkte};
    for (int k : klassen) {
        spalten << QStringLiteral("Klasse%1").arg(k);
        werte << 1;
    }
    QStringList platzhalter;
    for (int i = 0; i < spalten.size(); ++i)
        platzhalter << QStringLiteral("?");
    db.run(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
               .arg(tabelle, spalten.join(u','), platzhalter.join(u',')),
           werte);
}
}  // namespace

void TestDaten::ringeZeile(double uRinge, double punkte, std::initializer_list<int> klassen) {
    punkteZeile(db_, QStringLiteral("Ringe"), QStringLiteral("URinge"), uRinge, punkte, klassen);
}

void TestDaten::teilerZeile(double oTeiler, double punkte, std::initializer_list<int> klassen) {
    punkteZeile(db_, QStringLiteral("Teiler"), QStringLiteral("OTeiler"), oTeiler, punkte, klassen);
}

void TestDaten::anwesenheitsPunkte(int punkte) {
    db_.run(QStringLiteral("UPDATE Sonder SET AnwPunkte = ?"), {punkte});
}

void TestDaten::ergebnis(const Ergebnis& e) {
    db_.run(QStringLiteral("INSERT INTO Ergebnis (MitglNr, Datum, Best10, Best20, Gesammt, "
                           "Teiler, Punkte, Jahr, Anwesend, Liegend) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {e.nr, e.datum, e.best10, e.best20, e.gesammt, e.teiler, e.punkte, e.jahr,
             e.anwesend ? 1 : 0, e.liegend ? 1 : 0});
}
