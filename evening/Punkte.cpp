#include "evening/Punkte.h"

#include <algorithm>

#include "core/Abendzustand.h"
#include "core/Zahlen.h"
#include "evening/Felder.h"
#include "evening/Serien.h"
#include "platform/Database.h"
#include "platform/Dialogs.h"

namespace {

constexpr int kHoechsteKlasse = 9;  // the point tables have the columns Klasse1..Klasse9

int klassenSpalte(int klasse) {
    return klasse < 1 ? 1 : klasse;
}

// A value looked up in a point table: whole, rounded as the display rounds it.
double ganzzahlig(double wert) {
    return formatNull(wert).toDouble();
}

double summeScheiben(const Felder& f, int bis) {
    double summe = 0;
    for (int s = 1; s <= bis; ++s) {
        summe += Zahlwert(f.Scheibe[static_cast<std::size_t>(s)]);
    }
    return summe;
}

QString wertung(const Felder& f, const Abendzustand& z) {
    switch (z.Punktwertung) {
        case -10:
            return f.Scheibe[1];
        case 1:
            return f.Schuss[1];
        case -20:
            return formatRaute(summeScheiben(f, 2));
        case -40:
            return formatRaute(summeScheiben(f, 4));
        case 20:
            return formatRaute(z.Best20);
        case 40:
            return formatRaute(z.Best40);
        case 60:
            return zahlText(summeScheiben(f, 6));
        default:
            return formatRaute(z.Best10);
    }
}

}  // namespace

bool punktetabellenLeer(Database& db, int klasse) {
    const int k = klassenSpalte(klasse);
    if (k > kHoechsteKlasse) {
        return true;
    }
    for (const char* tabelle : {"Ringe", "Teiler"}) {
        if (db.run(QStringLiteral("SELECT count(*) FROM %1 WHERE Klasse%2 <> 0")
                       .arg(QLatin1String(tabelle))
                       .arg(k))
                .rows[0][0]
                .toInt() > 0) {
            return false;
        }
    }
    return true;
}

double ringPunkte(Database& db, float wertung, int klasse) {
    const int k = klassenSpalte(klasse);
    if (wertung <= 0 || k > kHoechsteKlasse) {
        return 0;
    }
    // Prepared once a class: the value compared is bound, as the display rounds it.
    const SqlRows rows =
        db.run(QStringLiteral("SELECT * FROM Ringe WHERE URinge <= ? AND Klasse%1 <> 0 "
                              "ORDER BY URinge DESC")
                   .arg(k),
               {ganzzahlig(wertung)});
    return rows.empty() ? 0 : rows.value(0, QStringLiteral("Punkte")).toDouble();
}

int teilerPunkte(Database& db, float bestTeiler, int klasse) {
    const int k = klassenSpalte(klasse);
    const double t = rundeGerade(bestTeiler);
    if (t <= 0 || k > kHoechsteKlasse) {
        return 0;
    }
    const SqlRows rows = db.run(QStringLiteral("SELECT * FROM Teiler WHERE OTeiler > ? AND "
                                               "Klasse%1 <> 0 ORDER BY OTeiler")
                                    .arg(k),
                                {ganzzahlig(t)});
    return rows.empty() ? 0 : zuInt16(rows.value(0, QStringLiteral("Punkte")).toDouble());
}

void Punktegeben(Felder& f, Abendzustand& z, Database* db, int klasse, Dialogs& dialogs) {
    const bool hatSchuesse = std::any_of(z.Shots.begin() + 1, z.Shots.end(),
                                         [](const ShotSlot& s) { return s.ValidFlag; });
    if (!hatSchuesse && !(f.Best10.isEmpty() && f.Best.isEmpty() && f.Punkte.isEmpty())) {
        // An evening stored without single shots (range import, older files): the buffer
        // knows nothing of it, so the best values and points stay as they were stored
        // instead of becoming zeros nobody typed.
        return;
    }
    Serienwertung(z, f);
    // The Teiler fields show what the series found, as after a reading, before the best of
    // them is taken: a Teiler typed into BestTeiler travels on shot 1 and reaches the row.
    for (int s = 1; s <= Abendzustand::kSerien; ++s) {
        const float t = z.SerienTeiler[static_cast<std::size_t>(s)];
        if (t > 0 && t < ShotSlot::kKeinTeiler) {
            f.Teiler[static_cast<std::size_t>(s)] = formatNullKomma(t);
        }
    }
    f.Best = zahlText(z.Best20);
    f.Best10 = wertung(f, z);
    f.GesScheibe = zahlText(summeScheiben(f, 6));

    f.BestTeiler = QStringLiteral("9999");
    for (int s = 1; s <= 6; ++s) {
        const QString& text = f.Teiler[static_cast<std::size_t>(s)];
        const float v = KommaZuPunkt(text);
        if (v > 0 && v < KommaZuPunkt(f.BestTeiler)) {
            f.BestTeiler = text;
            z.SerienTeiler[0] = v;
        }
    }
    if (f.BestTeiler == QLatin1String("9999")) {
        f.BestTeiler.clear();
    }

    double punkte = 0;
    if (!f.keinMitglied()) {
        if (db == nullptr) {
            throw DatabaseError(QStringLiteral("Es ist keine Vereinsdatenbank geöffnet."));
        }
        punkte += ringPunkte(*db, ZehntelWert(f.Best10), klasse);
        punkte += teilerPunkte(*db, ZehntelWert(f.BestTeiler), klasse);
        if (f.Option2() && !f.Anwesend) {
            if (!dialogs.askYesNo(kFrageAnwesenheit)) {
                f.Anwesend = true;
            }
        }
    }
    if (f.Anwesend) {
        punkte += z.AnwPunkte;
    }
    f.Punkte = zahlText(punkte);
}
