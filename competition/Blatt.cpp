#include "competition/Blatt.h"

#include "competition/Wettkampf.h"
#include "core/Zahlen.h"
#include "platform/Drucker.h"

namespace {

double textHoehe(Drucker& d) {
    return d.textHoehe(QStringLiteral("fg"));
}

void kasten(Drucker& d, double x, double y, bool gekreuzt) {
    d.rechteck(x, y, 5, 5);
    if (gekreuzt) {
        d.linie(x, y, x + 5, y + 5);
        d.linie(x, y + 5, x + 5, y);
    }
}

void kopf(Drucker& d, double y, const QString& titel, const QString& nummer, const QString& name) {
    d.schrift(14);
    d.text(20, y, titel);
    d.text(65, y, nummer);
    d.text(115, y, name);
    const double r = y + textHoehe(d) + 1;
    d.linie(60, r, 190, r);
    d.schrift(10);
    d.text(60, r, QStringLiteral("Vereinsnummer"));
    d.text(130, r, QStringLiteral("Vereinsname"));
}

// One team's table; `versatz` is 0 for the home team and 95 mm for the guest team.
void tabelle(Drucker& d, const Wettkampf& w, double versatz, int ersteZeile,
             const QString& teamGes) {
    const double oben = 75 + versatz;
    const double unten = 147 + versatz;
    d.linie(15, oben, 190, oben);
    for (double x : {25, 45, 93, 115, 125, 135, 145, 155, 172}) {
        d.linie(x, oben, x, unten);
    }
    d.schrift(8);
    d.text(16, 77 + versatz, QStringLiteral("Lfd.Nr."));
    d.text(26, 77 + versatz, QStringLiteral("Scheib.Nr"));
    d.text(50, 77 + versatz, QStringLiteral("Name des Schützen"));
    d.text(94, 77 + versatz, QStringLiteral("Geb.Mon./Jahr"));
    d.text(156, 77 + versatz, QStringLiteral("Gesamt-"));
    d.text(173, 77 + versatz, QStringLiteral("Mannschafts-"));
    d.text(157, 80 + versatz, QStringLiteral("Ringe"));
    d.text(175, 80 + versatz, QStringLiteral("Resultat"));
    d.linie(versatz > 0 ? 20 : 15, 84 + versatz, 190, 84 + versatz);
    for (int k = 1; k <= 7; ++k) {
        const int i = ersteZeile + k - 1;
        const Wettkampfzeile& z = w.zeile[static_cast<std::size_t>(i)];
        const double y = 86 + versatz + 9 * (k - 1);
        d.schrift(12);
        d.text(versatz > 0 ? 17 : 16, y, zahlTextBlank(i) + QLatin1Char('.'));
        d.schrift(10);
        d.text(26, y, z.serNr);
        d.schrift(12);
        d.text(46, y, z.name);
        d.text(94, y, z.geb);
        for (int s = 1; s <= 4; ++s) {
            d.text(106 + 10 * s, y, z.s[static_cast<std::size_t>(s)]);
        }
        d.text(156, y, z.ges);
        d.linie(15, y + 7, 190, y + 7);
        if (k == 4) {
            d.text(174, y, teamGes);
            d.linie(15, y + 8, 190, y + 8);
        }
    }
}

}  // namespace

void blattDrucken(Drucker& d, const Wettkampf& w) {
    d.schrift(18);
    d.text(65, 25, QStringLiteral("RUNDENWETTKAMPF"));

    d.schrift(14);
    d.text(20, 45, QStringLiteral("Klasse: ") + w.klasse);
    d.text(70, 45, QStringLiteral("Gruppe: ") + w.gruppe);
    d.text(120, 45, QStringLiteral("Datum: ") + w.datum);
    const double u = 45 + textHoehe(d) - 1;
    d.linie(37, u, 65, u);
    d.linie(88, u, 115, u);
    d.linie(137, u, 170, u);
    kasten(d, 180, u - 10, w.lp);
    kasten(d, 180, u, w.lg);
    d.schrift(10);
    d.text(188, u - 9, QStringLiteral("LP"));
    d.text(188, u + 1, QStringLiteral("LG"));

    kopf(d, 60, QStringLiteral("Heim-Mannschaft:"), w.heimNummer, w.heimName);
    tabelle(d, w, 0, 1, w.heimGes);
    kopf(d, 155, QStringLiteral("Gast-Mannschaft:"), w.gastNummer, w.gastName);
    tabelle(d, w, 95, 8, w.gastGes);

    d.schrift(8);
    d.linie(140, 254, 190, 254);
    d.text(150, 255, QStringLiteral("Unterschrift der Heim-"));
    d.linie(140, 270, 190, 270);
    d.text(150, 271, QStringLiteral("und Gastmannschaft"));
    d.text(60, 270, QStringLiteral("Zu Schießen ist nach der Sportordnung des DSB"));
}
