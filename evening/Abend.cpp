#include "evening/Abend.h"

#include <QVariant>

#include <algorithm>
#include <array>
#include <cmath>

#include "core/Abendzustand.h"
#include "core/Aenderungen.h"
#include "core/Zahlen.h"
#include "evening/Felder.h"
#include "evening/Serien.h"
#include "platform/Database.h"
#include "platform/SqlDialect.h"

namespace {

constexpr float kKein = ShotSlot::kKeinTeiler;

// The evening's date for the engine; the field must hold a real date.
QString datumDesAbends(const Felder& f) {
    const QDate d = sqldialect::parseShortDate(f.datumText());
    if (!d.isValid()) {
        throw DatabaseError(QStringLiteral("\"%1\" ist kein gültiges Datum.").arg(f.datumText()));
    }
    return sqldialect::isoDate(d);
}

// Our own fields show decimals with a comma; read them back with it.
double feldwert(const QString& text) {
    QString t = text;
    const qsizetype komma = t.indexOf(u',');
    if (komma >= 0) {
        t[komma] = u'.';
    }
    return Zahlwert(t);
}

// Single-precision values are stored with their seven digits, not the double's noise.
double einfach(float v) {
    return siebenStellen(v);
}

// The fields a stored evening is written with, in the order of the values.
const QStringList kErgebnisFelder = {
    QStringLiteral("S1"),          QStringLiteral("S2"),      QStringLiteral("S3"),
    QStringLiteral("S4"),          QStringLiteral("S5"),      QStringLiteral("S6"),
    QStringLiteral("Gesammt"),     QStringLiteral("Teiler"),  QStringLiteral("Best10"),
    QStringLiteral("Best20"),      QStringLiteral("Punkte"),  QStringLiteral("Jahr"),
    QStringLiteral("Scheibentyp"), QStringLiteral("Liegend"), QStringLiteral("Anwesend")};
const QString kErgebnisAlt = QStringLiteral(
    "SELECT rowid, S1, S2, S3, S4, S5, S6, Gesammt, Teiler, Best10, Best20, Punkte, Jahr, "
    "Scheibentyp, Liegend, Anwesend FROM Ergebnis WHERE MitglNr = ? AND Datum = ? "
    "ORDER BY rowid LIMIT 1");
const QString kMitgliedSperren = QStringLiteral("SELECT Nr FROM Mitglieder WHERE Nr = ?");
const QString kErgebnisNeu = QStringLiteral(
    "INSERT INTO Ergebnis (S1, S2, S3, S4, S5, S6, Gesammt, Teiler, Best10, Best20, Punkte, "
    "Jahr, Scheibentyp, Liegend, Anwesend, MitglNr, Datum) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
const QString kErgebnisAendern = QStringLiteral(
    "UPDATE Ergebnis SET S1 = ?, S2 = ?, S3 = ?, S4 = ?, S5 = ?, S6 = ?, Gesammt = ?, "
    "Teiler = ?, Best10 = ?, Best20 = ?, Punkte = ?, Jahr = ?, Scheibentyp = ?, Liegend = ?, "
    "Anwesend = ?, MitglNr = ?, Datum = ? WHERE rowid = ?");
const QString kSchuesseLoeschen =
    QStringLiteral("DELETE FROM Einzelergebnisse WHERE MitglNr = ? AND Datum = ?");
const QString kSchussNeu = QStringLiteral(
    "INSERT INTO Einzelergebnisse (MitglNr, Datum, Schuss, Teiler, Ring, X, Y) "
    "VALUES (?, ?, ?, ?, ?, ?, ?)");
const QString kSchuesseLesen = QStringLiteral(
    "SELECT Schuss, Ring, Teiler, X, Y FROM Einzelergebnisse "
    "WHERE MitglNr = ? AND Datum = ? ORDER BY Schuss");
const QString kErgebnisLesen =
    QStringLiteral("SELECT * FROM Ergebnis WHERE MitglNr = ? AND Datum = ? ORDER BY rowid LIMIT 1");

// One entry a field whose stored value the new one replaces.
std::vector<aenderungen::Eintrag> ergebnisAenderungen(const QVariantList& alt,
                                                      const QVariantList& neu, int nr,
                                                      const QString& datum) {
    std::vector<aenderungen::Eintrag> log;
    for (int i = 0; i < kErgebnisFelder.size(); ++i) {
        if (!aenderungen::gleich(alt.value(i + 1), neu.value(i))) {
            log.push_back({QStringLiteral("Ergebnis"), nr, datum, kErgebnisFelder[i],
                           aenderungen::text(alt.value(i + 1)), aenderungen::text(neu.value(i)),
                           QStringLiteral("Neu gespeichert")});
        }
    }
    return log;
}

// The shots that differ between what is stored and the buffer, in one line:
// "Schuss 7: 0 → 10, Schuss 12: 9 → –"; "" when none differs.
// Compared as numbers: what is stored went through seven significant digits.
QString schussAenderungen(const SqlRows& gespeichert, const Abendzustand& z) {
    struct Gespeichert {
        bool da = false;
        double wert[4] = {};  // Ring, Teiler, X, Y
        QVariant ring;
    };
    std::array<Gespeichert, Abendzustand::kSchuesse + 1> alt{};
    for (const QVariantList& r : gespeichert.rows) {
        const int k = r.value(0).toInt();
        if (k < 1 || k > Abendzustand::kSchuesse || r.size() < 5) {
            continue;
        }
        Gespeichert& g = alt[static_cast<std::size_t>(k)];
        g.da = true;
        g.ring = r[1];
        for (int i = 0; i < 4; ++i) {
            g.wert[i] = r[i + 1].toDouble();
        }
    }
    const auto nahe = [](double a, double b) {
        return std::fabs(a - b) <= 1e-6 * std::max(1.0, std::fabs(a));
    };
    QStringList teile;
    for (int k = 1; k <= Abendzustand::kSchuesse; ++k) {
        const ShotSlot& s = z.Shots[static_cast<std::size_t>(k)];
        const Gespeichert& g = alt[static_cast<std::size_t>(k)];
        bool gleich = g.da == s.ValidFlag;
        if (gleich && s.ValidFlag) {
            gleich = nahe(g.wert[0], s.Ring) && nahe(g.wert[1], s.Teiler) && nahe(g.wert[2], s.X) &&
                     nahe(g.wert[3], s.Y);
        }
        if (!gleich) {
            teile << QStringLiteral("Schuss %1: %2 → %3")
                         .arg(k)
                         .arg(g.da ? aenderungen::text(g.ring) : QStringLiteral("–"),
                              s.ValidFlag ? QString::number(s.Ring) : QStringLiteral("–"));
        }
    }
    return teile.join(QStringLiteral(", "));
}

// Every shot of the card in one statement: on a server one round trip, not one a shot.
void schuesseSchreiben(Database& db, const Abendzustand& z, int nr, const QString& datum) {
    QVariantList werte;
    int zeilen = 0;
    for (int k = 1; k <= Abendzustand::kSchuesse; ++k) {
        const ShotSlot& s = z.Shots[static_cast<std::size_t>(k)];
        if (s.ValidFlag) {
            werte << nr << datum << k << einfach(s.Teiler) << s.Ring << einfach(s.X)
                  << einfach(s.Y);
            ++zeilen;
        }
    }
    if (zeilen == 0) {
        return;
    }
    QString sql = kSchussNeu;
    for (int i = 1; i < zeilen; ++i) {
        sql += QStringLiteral(", (?, ?, ?, ?, ?, ?, ?)");
    }
    db.run(sql, werte);
}

QVariantList ergebnisWerte(const Felder& f, const Abendzustand& z, int nr, const QString& datum) {
    QVariantList werte;
    for (int s = 1; s <= 6; ++s) {
        werte << zuInt32(Zahlwert(f.Scheibe[static_cast<std::size_t>(s)]));
    }
    werte << feldwert(f.GesScheibe) << einfach(ZehntelWert(f.BestTeiler)) << feldwert(f.Best10)
          << feldwert(f.Best) << feldwert(f.Punkte) << z.Saisonjahr << z.TargetType.left(3)
          << (f.Liegend ? 1 : 0) << (f.Anwesend ? 1 : 0) << nr << datum;
    return werte;
}

// A stored number shown with its leading blank; NULL or text that is no number leaves the
// field as it was.
void zeigeWert(QString& feld, const QVariant& wert, int signifikant = 15) {
    bool ok = false;
    const double v = wert.isNull() ? 0 : wert.toDouble(&ok);
    if (ok && std::isfinite(v)) {
        feld = zahlTextBlank(v, signifikant);
    }
}

}  // namespace

void Abspeichern(const Felder& f, const Abendzustand& z, Database& db, const QDateTime& jetzt,
                 const Speicherauftrag& auftrag) {
    const QString datum = datumDesAbends(f);
    const bool mitMitglied = !f.keinMitglied();
    const int nr = mitMitglied ? zuInt16(Zahlwert(f.SNummer)) : 0;
    const QVariantList werte = mitMitglied ? ergebnisWerte(f, z, nr, datum) : QVariantList();
    QByteArray gespeichert;
    bool unveraendert = false;
    GeladenerAbend* geladen = auftrag.geladen;

    // Another range PC may store at the same moment: the member's row of the day is held
    // while this one is written, and a transaction the server gave up is tried again.
    try {
        inTransaktion(db, [&] {
            gespeichert.clear();
            if (mitMitglied) {
                // The member's own row first: two places storing for one member wait for each
                // other instead of locking each other's gaps.
                db.runZumAendern(kMitgliedSperren, {nr});
                if (auftrag.geladen && !auftrag.ersetzen) {
                    // Only the evening this place saw may be replaced without asking.
                    const bool gilt = geladen->gilt(nr, datum);
                    const QByteArray erwartet = gilt ? geladen->fingerabdruck : QByteArray();
                    const QByteArray jetzt = abendFingerabdruck(db, nr, datum);
                    // This place's own store whose commit went unanswered is no other place's.
                    const bool eigenes =
                        gilt && !geladen->ungewiss.isEmpty() && jetzt == geladen->ungewiss;
                    if (jetzt != erwartet && !eigenes) {
                        // Deleted since it was recalled: its result row is gone.
                        if (!erwartet.isEmpty() && !ergebnisVorhanden(db, nr, datum)) {
                            throw AbendAnderswoGespeichert(nr, std::nullopt, true);
                        }
                        throw AbendAnderswoGespeichert(nr, speicherzeitLesen(db, nr, datum));
                    }
                }
                const SqlRows vorhanden = db.runZumAendern(kErgebnisAlt, {nr, datum});
                // A stored evening that is replaced leaves what it was in the log; one that would
                // not change is not written at all.
                std::vector<aenderungen::Eintrag> log;
                if (!vorhanden.empty()) {
                    log = ergebnisAenderungen(vorhanden.rows[0], werte, nr, datum);
                }
                const QString schuesse = schussAenderungen(db.run(kSchuesseLesen, {nr, datum}), z);
                if (!schuesse.isEmpty() && !vorhanden.empty()) {
                    log.push_back({QStringLiteral("Einzelergebnisse"), nr, datum,
                                   QStringLiteral("Schüsse"), QString(), schuesse,
                                   QStringLiteral("Neu gespeichert")});
                }
                if (!vorhanden.empty() && log.empty()) {
                    unveraendert = true;
                    return;
                }
                if (vorhanden.empty()) {
                    db.run(kErgebnisNeu, werte);
                } else {
                    db.run(kErgebnisAendern, QVariantList(werte) << vorhanden.rows[0][0]);
                }
                aenderungen::schreiben(db, log, jetzt);
            }
            db.run(kSchuesseLoeschen, {nr, datum});
            schuesseSchreiben(db, z, nr, datum);
            if (mitMitglied && auftrag.geladen) {
                speicherzeitSchreiben(db, nr, datum, jetzt);
                gespeichert = abendFingerabdruck(db, nr, datum);
            }
        });
    } catch (const DatabaseError& e) {
        // The connection went after everything was written: whether the server took the
        // commit is unknown. Finding exactly this evening later is finding our own.
        if (e.verbindungWeg() && mitMitglied && geladen && !gespeichert.isEmpty() &&
            geladen->gilt(nr, datum)) {
            geladen->ungewiss = gespeichert;
        }
        throw;
    }
    if (unveraendert && auftrag.geladen) {
        gespeichert = abendFingerabdruck(db, nr, datum);
    }
    if (mitMitglied && auftrag.geladen) {
        *auftrag.geladen = GeladenerAbend{nr, datum, gespeichert, {}};
    }
}

GeladenerAbend geladenerAbend(Database& db, const Felder& f) {
    const QDate tag = sqldialect::parseShortDate(f.datumText());
    const double nummer = rundeGerade(Zahlwert(f.SNummer));
    if (f.keinMitglied() || !tag.isValid() || !(nummer >= -32768 && nummer <= 32767)) {
        return {};
    }
    const int nr = static_cast<int>(nummer);
    const QString datum = sqldialect::isoDate(tag);
    return GeladenerAbend{nr, datum, abendFingerabdruck(db, nr, datum), {}};
}

void suchen(Felder& f, Abendzustand& z, Database& db) {
    if (f.keinMitglied()) {
        z.clearSchussPuffer();
        return;
    }
    const double nummer = Zahlwert(f.SNummer);
    z.clearSchussPuffer();
    f.clearSchuss(z);
    const QDate tag = sqldialect::parseShortDate(f.datumText());
    if (!tag.isValid() || !std::isfinite(nummer)) {
        return;
    }
    const QVariantList schluessel{nummer, sqldialect::isoDate(tag)};

    try {
        const SqlRows schuesse = db.run(kSchuesseLesen, schluessel);
        for (const QVariantList& zeile : schuesse.rows) {
            bool ok = false;
            ShotSlot* s = z.shot(zeile[0].toInt(&ok));
            const double ring = zeile[1].toDouble();
            // Neither a slot outside the card nor an absurd ring may reach the buffer.
            if (!ok || s == nullptr || !(ring >= -1000 && ring <= 1000)) {
                continue;
            }
            s->Ring = static_cast<std::int16_t>(rundeGerade(ring));
            s->Teiler = zeile[2].isNull() ? kKein : zeile[2].toFloat();
            s->X = zeile[3].toFloat();
            s->Y = zeile[4].toFloat();
            s->ValidFlag = true;
        }
    } catch (const DatabaseError&) {
        // Shots that cannot be read stay empty; the result row below still shows.
    }

    Serienwertung(z, f);
    Anzeige_fuellen(f, z);

    SqlRows ergebnis;
    try {
        ergebnis = db.run(kErgebnisLesen, schluessel);
    } catch (const DatabaseError&) {
        return;
    }
    if (ergebnis.empty()) {
        return;
    }
    for (int s = 1; s <= 6; ++s) {
        zeigeWert(f.Scheibe[static_cast<std::size_t>(s)],
                  ergebnis.value(0, QStringLiteral("S%1").arg(s)));
    }
    zeigeWert(f.GesScheibe, ergebnis.value(0, QStringLiteral("Gesammt")));
    bool ok = false;
    const float teiler = ergebnis.value(0, QStringLiteral("Teiler")).toFloat(&ok);
    if (ok && teiler > 0 && std::isfinite(teiler)) {
        f.BestTeiler = zahlTextBlank(teiler, 7);
        f.Teiler[1] = f.BestTeiler;
        z.SerienTeiler[1] = teiler;
        z.SerienTeiler[0] = teiler;
    }
    zeigeWert(f.Best, ergebnis.value(0, QStringLiteral("Best20")));
    zeigeWert(f.Best10, ergebnis.value(0, QStringLiteral("Best10")));
    zeigeWert(f.Punkte, ergebnis.value(0, QStringLiteral("Punkte")));
    const QVariant typ = ergebnis.value(0, QStringLiteral("Scheibentyp"));
    if (!typ.isNull()) {
        z.TargetType = typ.toString();
    }
    f.Liegend = ergebnis.value(0, QStringLiteral("Liegend")).toInt() != 0;
    f.Anwesend = ergebnis.value(0, QStringLiteral("Anwesend")).toInt() != 0;
}

void Anzeige_fuellen(Felder& f, const Abendzustand& z) {
    for (int k = 1; k <= Abendzustand::kSchuesse; ++k) {
        const ShotSlot& s = z.Shots[static_cast<std::size_t>(k)];
        f.Schuss[static_cast<std::size_t>(k)] = s.ValidFlag ? formatNull(s.Ring) : QString();
    }
    for (int s = 1; s <= 6; ++s) {
        const auto i = static_cast<std::size_t>(s);
        f.Scheibe[i] = formatRaute(z.Serie[i]);
        if (z.SerienTeiler[i] > 0 && z.SerienTeiler[i] < kKein) {
            f.Teiler[i] = formatNullKomma(z.SerienTeiler[i]);
        }
    }
    if (z.SerienTeiler[0] > 0 && z.SerienTeiler[0] < kKein) {
        f.BestTeiler = formatNullKomma(z.SerienTeiler[0]);
    }
}
