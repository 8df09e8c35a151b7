#include "reports/Aenderungsliste.h"

#include <QDate>
#include <QDateTime>
#include <QStringList>

#include "platform/Database.h"
#include "platform/Drucker.h"
#include "reports/Ausdruck.h"
#include "reports/Druckwerte.h"

namespace aenderungsliste {

namespace {

using namespace druck;

constexpr double kSeitenende = 265;
constexpr double kLinks = 15;
constexpr double kEinzug = 25;

const QString kBasis = QStringLiteral(
    "SELECT Zeit, Platz AS Stand, Benutzer, Tabelle, MitglNr AS Nr, Datum AS Abend, Feld, Alt, "
    "Neu, Anlass FROM Aenderungen");

bool tagLesen(const QString& eingabe, const QString& was, QDate* tag, QString* fehler) {
    const QString t = eingabe.trimmed();
    if (t.isEmpty()) {
        return true;
    }
    for (const char* form : {"d.M.yyyy", "d.M.yy"}) {
        *tag = QDate::fromString(t, QString::fromLatin1(form));
        if (tag->isValid()) {
            if (tag->year() < 1950) {
                *tag = tag->addYears(100);
            }
            return true;
        }
    }
    *fehler = QStringLiteral("„%1“ ist kein Datum (%2, etwa 07.12.2026).").arg(t, was);
    return false;
}

QString zeitText(const QString& zeit) {
    const QDateTime z = QDateTime::fromString(zeit.left(19), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return z.isValid() ? z.toString(QStringLiteral("dd.MM.yyyy HH:mm")) : zeit;
}

// Breaks a text into lines that fit `breite` millimetres, at blanks and after commas where
// it can, else inside a word.
QStringList umbrechen(Drucker& d, const QString& text, double breite) {
    QStringList zeilen;
    QString rest = text;
    while (!rest.isEmpty()) {
        if (d.textBreite(rest) <= breite) {
            zeilen << rest;
            break;
        }
        int n = static_cast<int>(rest.size());
        while (n > 1 && d.textBreite(rest.left(n)) > breite) {
            --n;
        }
        const int blank = static_cast<int>(rest.left(n + 1).lastIndexOf(u' '));
        if (blank > n / 3) {
            n = blank;
        }
        zeilen << rest.left(n).trimmed();
        rest = rest.mid(n).trimmed();
    }
    return zeilen;
}

}  // namespace

Abfrage abfrage(const Filter& filter) {
    QStringList bedingungen;
    const QString nr = filter.nr.trimmed();
    if (!nr.isEmpty()) {
        bool ok = false;
        const int n = nr.toInt(&ok);
        if (!ok) {
            return {{}, QStringLiteral("„%1“ ist keine Mitgliedsnummer.").arg(nr)};
        }
        bedingungen << QStringLiteral("MitglNr = %1").arg(n);
    }
    QDate von, bis;
    QString fehler;
    if (!tagLesen(filter.von, QStringLiteral("geändert vom"), &von, &fehler) ||
        !tagLesen(filter.bis, QStringLiteral("bis"), &bis, &fehler)) {
        return {{}, fehler};
    }
    if (von.isValid() && bis.isValid() && bis < von) {
        return {{}, QStringLiteral("Das Ende des Zeitraums liegt vor seinem Anfang.")};
    }
    // Zeit is "yyyy-MM-dd HH:mm:ss": the day's first ten characters compare as dates do.
    if (von.isValid()) {
        bedingungen << QStringLiteral("Zeit >= '%1'").arg(von.toString(Qt::ISODate));
    }
    if (bis.isValid()) {
        bedingungen << QStringLiteral("Zeit < '%1'").arg(bis.addDays(1).toString(Qt::ISODate));
    }
    QString sql = kBasis;
    if (!bedingungen.isEmpty()) {
        sql += QStringLiteral(" WHERE ") + bedingungen.join(QStringLiteral(" AND "));
    }
    return {sql + QStringLiteral(" ORDER BY Zeit DESC, rowid DESC"), {}};
}

int drucken(Drucker& d, const SqlRows& zeilen, const Druckkopf& kopf, const Filter& filter) {
    QString ueber = QStringLiteral("Änderungen an gespeicherten Ergebnissen");
    if (!filter.nr.trimmed().isEmpty()) {
        ueber += QStringLiteral(", Mitglied ") + filter.nr.trimmed();
    }
    if (!filter.von.trimmed().isEmpty() || !filter.bis.trimmed().isEmpty()) {
        ueber += QStringLiteral(", geändert ") +
                 (filter.von.trimmed().isEmpty() ? QString()
                                                 : QStringLiteral("vom ") + filter.von.trimmed()) +
                 (filter.bis.trimmed().isEmpty() ? QString()
                                                 : QStringLiteral(" bis ") + filter.bis.trimmed());
    }
    const QString am = QStringLiteral("Ausgedruckt am: ") + kopf.jetzt;
    titel(d, 12, kLinks, 10, ueber);
    d.schrift(10);
    const double th = d.textHoehe(QStringLiteral("fghf"));
    d.text(kLinks, mm(10 + 2 * th), am);
    double y = mm(10 + 4 * th);

    auto feld = [&](std::size_t r, const char* name) {
        return zeilen.value(r, QString::fromLatin1(name)).toString();
    };
    int gedruckt = 0;
    for (std::size_t r = 0; r < zeilen.size(); ++r) {
        QStringList kopfzeile{zeitText(feld(r, "Zeit"))};
        if (!feld(r, "Nr").isEmpty()) {
            kopfzeile << QStringLiteral("Nr ") + feld(r, "Nr");
        }
        if (!feld(r, "Abend").isEmpty()) {
            kopfzeile << QStringLiteral("Abend ") + kurzesDatum(feld(r, "Abend").left(10));
        }
        kopfzeile << feld(r, "Tabelle") + u'.' + feld(r, "Feld") << feld(r, "Anlass");
        const QString wo = feld(r, "Benutzer").isEmpty()
                               ? feld(r, "Stand")
                               : feld(r, "Benutzer") + u'@' + feld(r, "Stand");
        if (!wo.isEmpty() && wo != QLatin1String("@")) {
            kopfzeile << wo;
        }
        // Before and after on one line where they fit; a summary of shots carries both.
        const QString alt = feld(r, "Alt"), neu = feld(r, "Neu");
        QStringList teile;
        if (!alt.isEmpty() || neu.isEmpty()) {
            teile << QStringLiteral("vorher: ") + alt;
        }
        if (!neu.isEmpty()) {
            teile << (alt.isEmpty() && feld(r, "Feld") == QStringLiteral("Schüsse")
                          ? neu
                          : QStringLiteral("nachher: ") + neu);
        }
        const double breite = kRechterRand - kEinzug;
        QStringList werte;
        if (teile.size() == 2 && d.textBreite(teile.join(QStringLiteral("      "))) <= breite) {
            werte << teile.join(QStringLiteral("      "));
        } else {
            for (const QString& teil : teile) {
                werte << umbrechen(d, teil, breite);
            }
        }
        // A change is not split between pages.
        const double hoehe = (1 + werte.size()) * 1.3 * th;
        if (y + hoehe >= kSeitenende && gedruckt > 0) {
            d.neueSeite();
            titel(d, 10, kLinks, 10, ueber + QStringLiteral(" (Fortsetzung)"));
            d.schrift(10);
            y = mm(10 + 3 * th);
        }
        d.text(kLinks, y,
               umbrechen(d, kopfzeile.join(QStringLiteral("   ")), kRechterRand - kLinks).value(0));
        y = mm(y + 1.3 * th);
        for (const QString& w : werte) {
            d.text(kEinzug, y, w);
            y = mm(y + 1.3 * th);
        }
        d.linie(kLinks, y - 0.3 * th, kRechterRand, y - 0.3 * th);
        y = mm(y + 0.3 * th);
        ++gedruckt;
    }
    y = mm(y + th);
    if (y >= kSeitenende + 6) {
        d.neueSeite();
        d.schrift(10);
        y = mm(10 + 3 * th);
    }
    d.text(kLinks, y, QStringLiteral("Anzahl Änderungen: ") + QString::number(gedruckt));
    return gedruckt;
}

}  // namespace aenderungsliste
