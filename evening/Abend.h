#pragma once

#include <QDateTime>

#include "evening/Abendstand.h"

struct Abendzustand;
struct Felder;
class Database;

// How an evening is stored by a place that recalled it.
struct Speicherauftrag {
    // What this place recalled: checked inside the storing transaction and afterwards set
    // to what was stored. Without it the evening is stored unchecked.
    GeladenerAbend* geladen = nullptr;
    // The user chose to replace an evening another place stored in between.
    bool ersetzen = false;
};

// Stores the displayed evening: the Ergebnis row of the member in SNummer (none for
// "Kein Eintrag") and every valid shot of the buffer, replacing the shots stored before.
// All of it is one transaction: on any failure nothing changes and DatabaseError (or
// ZahlUeberlauf) is thrown. When the stored evening is no longer the one recalled,
// AbendAnderswoGespeichert is thrown and nothing is written. `jetzt` is noted with the
// evening and dates its lines in the log of corrections.
void Abspeichern(const Felder& felder, const Abendzustand& zustand, Database& db,
                 const QDateTime& jetzt, const Speicherauftrag& auftrag = {});

// What a place sees of the member's stored evening before it is changed there.
GeladenerAbend geladenerAbend(Database& db, const Felder& felder);

// Loads the evening of the member in SNummer at the chosen date into the buffer and the
// fields. Rows or fields that cannot be read are passed over.
void suchen(Felder& felder, Abendzustand& zustand, Database& db);

// Shows the buffer's shots, series and best Teiler in the fields.
void Anzeige_fuellen(Felder& felder, const Abendzustand& zustand);
