#include "reports/Klassenausdruck.h"

#include <functional>

#include "core/Zahlen.h"
#include "platform/Drucker.h"
#include "reports/Druckwerte.h"

namespace listen {

QString klassenAbfrage(const QString& basis, Listenart art, int klasse, const QString& sortierung) {
    const QString verbindung = art == Listenart::Jahr ? QStringLiteral(" WHERE Klasse =")
                                                      : QStringLiteral(" AND Klasse =");
    return sortiert(basis + verbindung + zahlTextBlank(klasse), sortierung);
}

int klassenAnzahl(Listenart art, int klassenZeilen) {
    switch (art) {
        case Listenart::Heute:
        case Listenart::LetzteWoche:
            return klassenZeilen;
        case Listenart::Jahr:
        case Listenart::Alles:
            return 9;
        default:
            return 0;
    }
}

std::vector<KlassenBlock> klassenBloecke(Database& db, const QString& basis, Listenart art,
                                         const QString& sortierung) {
    std::vector<KlassenBlock> bloecke;
    const int klassen = db.run(QStringLiteral("SELECT count(*) FROM Klassen")).rows[0][0].toInt();
    const int n = klassenAnzahl(art, klassen);
    for (int i = 1; i <= n; ++i) {
        const SqlRows bez =
            db.select(QStringLiteral("SELECT * FROM Klassen WHERE Klasse =") + zahlTextBlank(i));
        bloecke.push_back({bez.value(0, QStringLiteral("Bez")).toString(),
                           db.select(klassenAbfrage(basis, art, i, sortierung))});
    }
    return bloecke;
}

}  // namespace listen

namespace {

using namespace druck;

constexpr double kSeitenende = 271;  // a row at or below it is the last on its page

struct Spalte {
    QString kopf;
    double x;
    Wert wert;
};

std::vector<Spalte> spaltenFuer(Listenart art) {
    switch (art) {
        case Listenart::Jahr:
            return {{QStringLiteral("Name"), 20, text("Name")},
                    {QStringLiteral("Best10"), 65, raute("Best10")},
                    {QStringLiteral("Best20"), 85, raute("Best20")},
                    {QStringLiteral("Ges."), 105, raute("Gesammt")},
                    {QStringLiteral("Pkt"), 125, raute("Punkte")},
                    {QStringLiteral("Teiler"), 150, teiler},
                    {QStringLiteral("Anw/Gesch"), 175, [](const SqlRows& z, std::size_t r) {
                         return formatRaute(zahl(z, r, "Anwesend")) + QStringLiteral(" /") +
                                formatRaute(zahl(z, r, "Geschossen"));
                     }}};
        case Listenart::Alles:
            return {{QStringLiteral("Name"), 20, text("Name")},
                    {QStringLiteral("Beste 10"), 65, raute("Best10")},
                    {QStringLiteral("Beste 20"), 85, raute("Best20")},
                    {QStringLiteral("Gesamt"), 105, raute("Gesammt")},
                    {QStringLiteral("Teiler"), 125, teiler},
                    {QStringLiteral("Punkte"), 145, klartext("Punkte")},
                    {QStringLiteral("Datum"), 175, datum}};
        default:
            return {{QStringLiteral("Name"), 20, text("Name")},
                    {QStringLiteral("Beste 10"), 75, raute("Best10")},
                    {QStringLiteral("Beste 20"), 100, raute("Best20")},
                    {QStringLiteral("Gesamt"), 125, raute("Gesammt")},
                    {QStringLiteral("Teiler"), 150, teiler},
                    {QStringLiteral("Punkte"), 175, klartext("Punkte")}};
    }
}

QString titelFuer(Listenart art, const Druckkopf& kopf) {
    const QString am = QStringLiteral("Ausgedruckt am: ") + kopf.jetzt;
    switch (art) {
        case Listenart::Jahr:
            return QStringLiteral("Zusammenfassung des Schießjahres") + QString(10, u' ') + am;
        case Listenart::Alles:
            return QStringLiteral("Jahresausdruck     ") + am;
        default:
            return QStringLiteral("Ausdruck des Schießens vom: ") + kopf.datum +
                   QStringLiteral("     ") + am;
    }
}

}  // namespace

int klassenDrucken(Drucker& d, Listenart art, const std::vector<KlassenBlock>& bloecke,
                   const Druckkopf& kopf) {
    const QString muster = QStringLiteral("fghf");
    const QString t = titelFuer(art, kopf);
    const std::vector<Spalte> s = spaltenFuer(art);
    titel(d, 12, 25, 10, t);
    d.schrift(12);
    const double th12 = d.textHoehe(muster);
    double y = mm(10 + th12);
    d.schrift(10);
    const double th10 = d.textHoehe(muster);
    auto neueSeite = [&] {
        d.neueSeite();
        titel(d, 10, 0, th10, t);
        d.schrift(10);
        y = mm(10 + th10);
    };
    // A line may stand where a row may: above the mark at which rows go on a new page, and
    // one line below it. What would stand lower starts a new page first.
    auto passt = [&](double zeilenY) { return zeilenY < kSeitenende + th10; };
    int gesamt = 0;
    for (const KlassenBlock& block : bloecke) {
        if (block.zeilen.empty()) {
            continue;  // no heading, no space
        }
        // The heading only with its first row: both on this page, or both on the next.
        if (!passt(mm(mm(mm(y + th12) + th10) + th10))) {
            neueSeite();
        }
        d.schrift(12);
        d.text(15, y, block.bez);
        y = mm(y + d.textHoehe(muster));
        d.schrift(10);
        const double th = d.textHoehe(muster);
        for (const Spalte& sp : s) {
            d.text(sp.x, y, sp.kopf);
        }
        d.linie(art == Listenart::Jahr ? 25 : 20, y + th, 190, y + th);
        y = mm(y + th);
        for (std::size_t r = 0; r < block.zeilen.size(); ++r) {
            y = mm(y + th);
            for (const Spalte& sp : s) {
                d.text(sp.x, y, sp.wert(block.zeilen, r));
            }
            d.linie(20, y, 190, y);
            if (y >= kSeitenende) {
                neueSeite();
            }
        }
        y = mm(y + 2 * th);
        gesamt += static_cast<int>(block.zeilen.size());
    }
    d.schrift(10);
    if (!passt(mm(y + th10))) {
        neueSeite();
    }
    y = mm(y + th10);
    d.text(15, y, QStringLiteral("Personen:") + zahlTextBlank(gesamt));
    return gesamt;
}
