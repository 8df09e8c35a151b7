#pragma once

struct Abendzustand;
struct Felder;

// Adds up the ten shot fields of the series that ends with shot n (10, 20, ... 60) and
// shows the total in its Scheibe field when the series is complete (or, for the first
// series, when only the first shot was typed). Throws ZahlUeberlauf.
void Serberech(int n, Felder& felder);

// After a ring was typed or deleted in the series that ends with shot n: as Serberech, and a
// total left in the field from before is taken away once the series is no longer complete,
// so that Gesamt never counts rings that are no longer on screen. Throws ZahlUeberlauf.
void SerieNachEingabe(int n, Felder& felder);

// Series totals, best 10/20/40 and the best Teiler per series and of the evening from the
// shot buffer, under the configured Teiler mode. A better Teiler already shown in a
// Teiler field is kept. Throws ZahlUeberlauf.
void Serienwertung(Abendzustand& zustand, const Felder& felder);
