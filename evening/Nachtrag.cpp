#include "evening/Nachtrag.h"

#include "core/Abendzustand.h"
#include "evening/Abend.h"
#include "evening/Punkte.h"
#include "evening/Serien.h"

int abendNachtragen(Felder felder, const Abendzustand& einstellungen, Database& db, int klasse,
                    Dialogs& dialogs, const QDateTime& jetzt,
                    const std::function<void(Abendzustand&)>& schuesse) {
    Abendzustand probe;
    probe.PistolenTeiler = einstellungen.PistolenTeiler;
    schuesse(probe);
    const int neu = probe.NextShotIndex - 1;

    Abendzustand z = einstellungen;
    z.clearSchussPuffer();
    felder.clearSchuss(z);
    // Recalled before the shots are read, so that a change in between is caught on storing.
    GeladenerAbend geladen = geladenerAbend(db, felder);
    suchen(felder, z, db);
    int letzter = 0;
    for (int i = 1; i <= Abendzustand::kSchuesse; ++i) {
        if (z.Shots[static_cast<std::size_t>(i)].ValidFlag) {
            letzter = i;
        }
    }
    if (letzter + neu > Abendzustand::kSchuesse) {
        return -1;
    }
    z.NextShotIndex = static_cast<std::int16_t>(letzter + 1);
    schuesse(z);
    Serienwertung(z, felder);
    Anzeige_fuellen(felder, z);
    for (int n = 10; n <= 60; n += 10) {
        Serberech(n, felder);
    }
    Punktegeben(felder, z, &db, klasse, dialogs);
    Abspeichern(felder, z, db, jetzt, {&geladen, false});
    return neu;
}
