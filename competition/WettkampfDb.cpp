#include "competition/WettkampfDb.h"

#include <QFileInfo>

bool WettkampfDb::oeffnen(const QString& pfad, QString* fehler, bool* angelegt) {
    *angelegt = !QFileInfo::exists(pfad);
    if (!db_.open(pfad, fehler, *angelegt)) {
        return false;
    }
    try {
        if (!db_.hasTable(QStringLiteral("Mannschaften"))) {
            db_.run(
                QStringLiteral("CREATE TABLE Mannschaften (Mannschaft TEXT(50), "
                               "HeimGast TEXT(4))"));
        }
        if (!db_.hasTable(QStringLiteral("Schuetzen"))) {
            db_.run(
                QStringLiteral("CREATE TABLE Schuetzen (Mannschaft TEXT(50), "
                               "Schuetze TEXT(50), Geb TEXT(10), Nr INTEGER)"));
        }
    } catch (const DatabaseError& e) {
        *fehler = e.message();
        db_.close();
        return false;
    }
    return true;
}

QStringList WettkampfDb::mannschaften(const QString& heimGast) {
    QStringList namen;
    for (const QVariantList& z :
         db_.run(QStringLiteral("SELECT Mannschaft FROM Mannschaften WHERE HeimGast = ?"),
                 {heimGast})
             .rows) {
        namen << z[0].toString();
    }
    return namen;
}

std::vector<WettkampfDb::Schuetze> WettkampfDb::schuetzen(const QString& mannschaft) {
    std::vector<Schuetze> liste;
    for (const QVariantList& z :
         db_.run(QStringLiteral("SELECT Schuetze, Geb, Nr FROM Schuetzen WHERE Mannschaft = ?"),
                 {mannschaft})
             .rows) {
        liste.push_back({z[0].toString(), z[1].toString(), z[2].toInt()});
    }
    return liste;
}

void WettkampfDb::speichern(const QString& mannschaft, const QString& heimGast,
                            const std::vector<Schuetze>& reihen) {
    Transaction t(db_);
    if (db_.run(QStringLiteral("SELECT count(*) FROM Mannschaften WHERE Mannschaft = ?"),
                {mannschaft})
            .rows[0][0]
            .toInt() == 0) {
        db_.run(QStringLiteral("INSERT INTO Mannschaften (Mannschaft, HeimGast) VALUES (?, ?)"),
                {mannschaft, heimGast});
    }
    for (const Schuetze& s : reihen) {
        const SqlRows da = db_.run(
            QStringLiteral("SELECT rowid FROM Schuetzen WHERE Mannschaft = ? AND Schuetze = ? "
                           "ORDER BY rowid LIMIT 1"),
            {mannschaft, s.name});
        if (da.empty()) {
            db_.run(QStringLiteral("INSERT INTO Schuetzen (Mannschaft, Schuetze, Geb, Nr) "
                                   "VALUES (?, ?, ?, ?)"),
                    {mannschaft, s.name, s.geb, s.nr});
        } else {
            db_.run(QStringLiteral("UPDATE Schuetzen SET Geb = ?, Nr = ? WHERE rowid = ?"),
                    {s.geb, s.nr, da.rows[0][0]});
        }
    }
    t.commit();
}

void WettkampfDb::loeschen(const QString& mannschaft) {
    Transaction t(db_);
    db_.run(QStringLiteral("DELETE FROM Mannschaften WHERE rowid = (SELECT rowid FROM "
                           "Mannschaften WHERE Mannschaft = ? ORDER BY rowid LIMIT 1)"),
            {mannschaft});
    db_.run(QStringLiteral("DELETE FROM Schuetzen WHERE Mannschaft = ?"), {mannschaft});
    t.commit();
}
