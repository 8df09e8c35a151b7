#include "reports/Jahrestab.h"

#include "platform/Database.h"

// One pass over the season's results, grouped by member in the members' stored order. A
// shot count counts results with a best-20 sum above 0; the best Teiler starts at 9999.9.
// Written in SQL that every engine the program runs on understands alike.
const QString kJahresSummen = QStringLiteral(
    "SELECT m.Name, COALESCE(SUM(e.Best10), 0), COALESCE(SUM(e.Best20), 0), "
    "COALESCE(SUM(e.Gesammt), 0), "
    "CASE WHEN MIN(e.Teiler) IS NULL OR MIN(e.Teiler) > 9999.9 THEN 9999.9 "
    "ELSE MIN(e.Teiler) END, COALESCE(SUM(e.Punkte), 0), "
    "SUM(CASE WHEN COALESCE(e.Anwesend, 0) <> 0 THEN 1 ELSE 0 END), "
    "SUM(CASE WHEN COALESCE(e.Best20, 0) > 0 THEN 1 ELSE 0 END), m.Klasse "
    "FROM Mitglieder m JOIN Ergebnis e ON e.MitglNr = m.Nr AND e.Jahr = ? "
    "GROUP BY m.rowid, m.Name, m.Klasse HAVING COALESCE(SUM(e.Punkte), 0) > 0 "
    "ORDER BY m.rowid");

namespace {
const QString kAufbau = QStringLiteral(
                            "INSERT INTO Jahrestab (Name, Best10, Best20, Gesammt, Teiler, Punkte, "
                            "Anwesend, Geschossen, Klasse) ") +
                        kJahresSummen;
}  // namespace

void jahrestabNeuAufbauen(Database& db, int saison) {
    Transaction t(db);
    db.run(QStringLiteral("DELETE FROM Jahrestab"));
    db.run(kAufbau, {saison});
    t.commit();
}
