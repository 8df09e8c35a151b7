#pragma once

#include <QString>

#include <vector>

#include "platform/Database.h"
#include "reports/Ausdruck.h"

class Drucker;

// One class of a class printout: its designation and its rows in the chosen order.
struct KlassenBlock {
    QString bez;
    SqlRows zeilen;
};

namespace listen {
// The statement of class i of a listing: the evening and season listings narrowed by
// "AND Klasse =", the year table by "WHERE Klasse =", sorted by the rule of the listings.
QString klassenAbfrage(const QString& basis, Listenart art, int klasse, const QString& sortierung);
// How many classes a class printout goes through: the class table's rows for an evening,
// nine for the year table and the season; none for a history or the raw table.
int klassenAnzahl(Listenart art, int klassenZeilen);
// The blocks of a class printout of the listing `basis`: each class's designation from the
// class table and its rows. Empty for a listing without classes. Throws DatabaseError.
std::vector<KlassenBlock> klassenBloecke(Database& db, const QString& basis, Listenart art,
                                         const QString& sortierung);
}  // namespace listen

// Lays out the class printout: the title, then one block a class with rows (its
// designation, the headings, one ruled line a row), page breaks at 271 mm and the total
// "Personen:". Returns the rows printed.
int klassenDrucken(Drucker& drucker, Listenart art, const std::vector<KlassenBlock>& bloecke,
                   const Druckkopf& kopf);
