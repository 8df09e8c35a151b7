#pragma once

struct Abendzustand;
struct Felder;
class Database;

// Stores the displayed evening: the Ergebnis row of the member in SNummer (none for
// "Kein Eintrag") and every valid shot of the buffer, replacing the shots stored before.
// All of it is one transaction: on any failure nothing changes and DatabaseError (or
// ZahlUeberlauf) is thrown.
void Abspeichern(const Felder& felder, const Abendzustand& zustand, Database& db);

// Loads the evening of the member in SNummer at the chosen date into the buffer and the
// fields. Rows or fields that cannot be read are passed over.
void suchen(Felder& felder, Abendzustand& zustand, Database& db);

// Shows the buffer's shots, series and best Teiler in the fields.
void Anzeige_fuellen(Felder& felder, const Abendzustand& zustand);
