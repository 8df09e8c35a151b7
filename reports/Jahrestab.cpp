#include "reports/Jahrestab.h"

#include "platform/Database.h"

namespace {
// One pass over the season's results, grouped by member in the members' stored order. A
// shot count counts results with a best-20 sum above 0; the best Teiler starts at 9999.9.
const QString kAufbau = QStringLiteral(
    "INSERT INTO Jahrestab (Name, Best10, Best20, Gesammt, Teiler, Punkte, Anwesend, "
    "Geschossen, Klasse) "
    "SELECT m.Name, TOTAL(e.Best10), TOTAL(e.Best20), TOTAL(e.Gesammt), "
    "MIN(COALESCE(MIN(e.Teiler), 9999.9), 9999.9), TOTAL(e.Punkte), "
    "TOTAL(COALESCE(e.Anwesend, 0) <> 0), TOTAL(COALESCE(e.Best20, 0) > 0), m.Klasse "
    "FROM Mitglieder m JOIN Ergebnis e ON e.MitglNr = m.Nr AND e.Jahr = ? "
    "GROUP BY m.rowid HAVING TOTAL(e.Punkte) > 0 ORDER BY m.rowid");
}  // namespace

void jahrestabNeuAufbauen(Database& db, int saison) {
    Transaction t(db);
    db.run(QStringLiteral("DELETE FROM Jahrestab"));
    db.run(kAufbau, {saison});
    t.commit();
}
