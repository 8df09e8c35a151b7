#pragma once

#include <QString>

struct Abendzustand;
struct Felder;
class Database;
class Dialogs;

inline const QString kFrageAnwesenheit = QStringLiteral("Anwesenheit wirklich streichen");

// Ring points for a scoring total and Teiler points for a best Teiler, looked up in the
// point tables for a member class (below 1 counts as 1; a class without a column gets none).
double ringPunkte(Database& db, float wertung, int klasse);

// Neither the ring points nor the Teiler points have a row for the class (a class below 1
// counts as 1, as the awarding does): its evenings get no points from the tables.
bool punktetabellenLeer(Database& db, int klasse);
int teilerPunkte(Database& db, float bestTeiler, int klasse);

// Computes the evening's scoring total, best two series, total and best Teiler into the
// fields and awards ring, Teiler and attendance points. `klasse` is the class of the member
// shown (ignored when no member is selected). Asks through `dialogs` before attendance is
// dropped for today's evening. Throws ZahlUeberlauf and DatabaseError.
void Punktegeben(Felder& felder, Abendzustand& zustand, Database* db, int klasse, Dialogs& dialogs);
