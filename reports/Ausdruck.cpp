#include "reports/Ausdruck.h"

#include <vector>

#include "core/Zahlen.h"
#include "platform/Database.h"
#include "platform/Drucker.h"
#include "reports/Druckwerte.h"

namespace {

using namespace druck;

struct Spalte {
    QString kopf;
    double kopfX;
    Wert wert;
    double wertX;
};

struct Layout {
    QString titel;
    QString folgetitel;
    double titelX = 35;
    double thPunkte = 12;  // the font size the line height is measured at
    QString zaehltext = QStringLiteral("Personen:");
    std::vector<Spalte> spalten;
};

Layout layoutFuer(Listenart art, const Druckkopf& kopf, const Namensform& name) {
    const QString am = QStringLiteral("Ausgedruckt am: ") + kopf.jetzt;
    const Wert nameWert = [name](const SqlRows& z, std::size_t r) {
        return name(z.value(r, QStringLiteral("Name")).toString());
    };
    Layout l;
    switch (art) {
        case Listenart::Heute:
        case Listenart::LetzteWoche:
            l.titel = QStringLiteral("Ausdruck des Schießens vom: ") + kopf.datum +
                      QStringLiteral("     ") + am;
            l.folgetitel = l.titel;
            l.thPunkte = 10;
            l.spalten = {{QStringLiteral("Name"), 15, nameWert, 15},
                         {QStringLiteral("Beste 10"), 80, raute("Best10"), 90},
                         {QStringLiteral("Beste 20"), 100, raute("Best20"), 105},
                         {QStringLiteral("Gesamt"), 120, raute("Gesammt"), 120},
                         {QStringLiteral("Teiler"), 140, teiler, 140},
                         {QStringLiteral("Punkte"), 160, klartext("Punkte"), 160},
                         {QStringLiteral("Liegend"), 175,
                          [](const SqlRows& z, std::size_t r) {
                              return zahl(z, r, "Liegend") != 0 ? QStringLiteral("X") : QString();
                          },
                          180}};
            break;
        case Listenart::Jahr:
            l.titel = QStringLiteral("Ausdruck Jahresleistung") + QString(11, u' ') + am;
            l.folgetitel = QStringLiteral("Ausdruck Jahresleistung") + QString(9, u' ') + am;
            l.spalten = {{QStringLiteral("Name"), 15, nameWert, 15},
                         {QStringLiteral("Beste 10"), 65, raute("Best10"), 65},
                         {QStringLiteral("Beste 20"), 85, raute("Best20"), 95},
                         {QStringLiteral("Gesamt"), 105, raute("Gesammt"), 110},
                         {QStringLiteral("Punkte"), 125, raute("Punkte"), 125},
                         {QStringLiteral("Anw/Gesch"), 145,
                          [](const SqlRows& z, std::size_t r) {
                              return formatRaute(zahl(z, r, "Anwesend")) + QStringLiteral(" /") +
                                     formatRaute(zahl(z, r, "Geschossen"));
                          },
                          145},
                         {QStringLiteral("Klasse"), 175, raute("Klasse"), 175}};
            break;
        default: {
            const bool schuetze = art == Listenart::Schuetze;
            l.titel = schuetze ? QStringLiteral("Jahresausdruck Schütze   ") + kopf.schuetze +
                                     QStringLiteral("   ") + am
                               : QStringLiteral("Jahresausdruck     ") + am;
            l.folgetitel = QStringLiteral("Jahresausdruck     ") + am;
            l.titelX = schuetze ? 25 : 35;
            l.zaehltext = schuetze ? QStringLiteral("Anzahl Ergebnisse:") : l.zaehltext;
            l.spalten = {{schuetze ? QStringLiteral("Datum") : QStringLiteral("Name"), 15,
                          schuetze ? Wert(datum) : nameWert, 15},
                         {QStringLiteral("Beste 10"), 65, raute("Best10"), 75},
                         {QStringLiteral("Beste 20"), 85, raute("Best20"), 85},
                         {QStringLiteral("Gesamt"), 105, raute("Gesammt"), 110},
                         {QStringLiteral("Teiler"), 125, teiler, 125},
                         {QStringLiteral("Punkte"), 145, klartext("Punkte"), 145}};
            if (!schuetze) {
                l.spalten.push_back({QStringLiteral("Datum"), 175, datum, 175});
            }
            break;
        }
    }
    return l;
}

}  // namespace

int listeDrucken(Drucker& d, Listenart art, const SqlRows& zeilen, const Druckkopf& kopf,
                 const Namensform& name) {
    if (art == Listenart::Roh) {
        return -1;
    }
    const Layout l = layoutFuer(art, kopf, name);
    const QString muster = QStringLiteral("fghf");

    titel(d, 12, l.titelX, 10, l.titel);
    d.schrift(l.thPunkte);
    const double th = d.textHoehe(muster);
    d.schrift(10);
    double y = mm(2 * th + 10);
    for (const Spalte& s : l.spalten) {
        d.text(s.kopfX, y, s.kopf);
    }
    y = mm(y + 2 * th);

    int gedruckt = 0;
    for (std::size_t r = 0; r < zeilen.size(); ++r) {
        for (const Spalte& s : l.spalten) {
            d.text(s.wertX, y, s.wert(zeilen, r));
        }
        d.linie(15, y + th, 190, y + th);
        ++gedruckt;
        y = mm(y + 1.3 * th);
        if (y >= 251) {
            d.neueSeite();
            titel(d, 10, 35, 10, l.folgetitel);
            d.schrift(10);
            y = mm(2 * th + 10);
        }
    }
    y = mm(y + th);
    d.text(15, y, l.zaehltext + zahlTextBlank(gedruckt));
    return gedruckt;
}
