#include "display/Anzeigedaten.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include "platform/Database.h"
#include "platform/SqlDialect.h"
#include "reports/Jahrestab.h"

namespace anzeige {

namespace {

const QString kAbend = QStringLiteral(
    "SELECT e.MitglNr, m.Name, e.S1, e.S2, e.S3, e.S4, e.S5, e.S6, e.Gesammt, e.Best10, "
    "e.Best20, e.Teiler, e.Punkte, e.Anwesend FROM Ergebnis e LEFT JOIN Mitglieder m "
    "ON m.Nr = e.MitglNr WHERE e.Datum = ? ORDER BY e.Best10 DESC, e.Teiler, e.MitglNr");

// A Teiler above 800 (none shot, or typed as 9999) and 0 are no Teiler worth showing.
QJsonValue teilerWert(double t) {
    return t > 0 && t <= 800 ? QJsonValue(t) : QJsonValue();
}

QJsonValue zahl(double v) {
    return v == static_cast<double>(static_cast<qint64>(v)) ? QJsonValue(static_cast<qint64>(v))
                                                            : QJsonValue(v);
}

// Equal values share their place: 1, 2, 2, 4.
template <class Schluessel>
std::vector<int> plaetze(const std::vector<Zeile>& zeilen, Schluessel schluessel) {
    std::vector<int> p(zeilen.size());
    for (std::size_t i = 0; i < zeilen.size(); ++i) {
        p[i] = i > 0 && schluessel(zeilen[i]) == schluessel(zeilen[i - 1])
                   ? p[i - 1]
                   : static_cast<int>(i) + 1;
    }
    return p;
}

QString anzeigename(const Zeile& z, bool kurz) {
    const QString name = z.name.trimmed().isEmpty() ? QStringLiteral("Nr. %1").arg(z.nr) : z.name;
    return kurz ? kurzname(name) : name.trimmed();
}

QByteArray json(const QJsonObject& o) {
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

}  // namespace

std::vector<Zeile> abendLesen(Database& db, const QDate& datum) {
    std::vector<Zeile> zeilen;
    for (const QVariantList& r : db.run(kAbend, {sqldialect::isoDate(datum)}).rows) {
        Zeile z;
        z.nr = r.value(0).toInt();
        z.name = r.value(1).toString();
        for (int s = 2; s <= 7; ++s) {
            z.serien.push_back(r.value(s).toDouble());
        }
        z.gesamt = r.value(8).toDouble();
        z.best10 = r.value(9).toDouble();
        z.best20 = r.value(10).toDouble();
        z.teiler = r.value(11).toDouble();
        z.punkte = r.value(12).toDouble();
        z.anwesend = r.value(13).toInt() != 0 ? 1 : 0;
        zeilen.push_back(std::move(z));
    }
    return zeilen;
}

std::vector<Zeile> jahrLesen(Database& db, int saison) {
    std::vector<Zeile> zeilen;
    for (const QVariantList& r : db.run(kJahresSummen, {saison}).rows) {
        Zeile z;
        z.name = r.value(0).toString();
        z.best10 = r.value(1).toDouble();
        z.best20 = r.value(2).toDouble();
        z.gesamt = r.value(3).toDouble();
        z.teiler = r.value(4).toDouble();
        z.punkte = r.value(5).toDouble();
        z.anwesend = r.value(6).toInt();
        z.geschossen = r.value(7).toInt();
        zeilen.push_back(std::move(z));
    }
    std::stable_sort(zeilen.begin(), zeilen.end(), [](const Zeile& a, const Zeile& b) {
        return a.punkte != b.punkte ? a.punkte > b.punkte : a.best10 > b.best10;
    });
    return zeilen;
}

QString kurzname(const QString& name) {
    const QString ganz = name.simplified();
    // "Nachname, Vorname": the first name whole, the surname by its initial.
    const qsizetype komma = ganz.indexOf(u',');
    if (komma >= 0) {
        const QString nachname = ganz.left(komma).trimmed();
        const QString vorname = ganz.mid(komma + 1).trimmed();
        if (vorname.isEmpty() || nachname.isEmpty()) {
            return nachname.isEmpty() ? vorname : nachname;
        }
        return vorname.split(u' ').first() + u' ' + QString(nachname.front()) + u'.';
    }
    // "Vorname [Zweitname] Nachname": the first word and the initial of the last.
    const QStringList teile = ganz.split(u' ', Qt::SkipEmptyParts);
    if (teile.size() < 2) {
        return ganz;
    }
    return teile.first() + u' ' + QString(teile.last().front()) + u'.';
}

bool ergebnisGleich(const Zeile& a, const Zeile& b) {
    return a.nr == b.nr && a.serien == b.serien && a.gesamt == b.gesamt && a.best10 == b.best10 &&
           a.best20 == b.best20 && a.teiler == b.teiler && a.punkte == b.punkte &&
           a.anwesend == b.anwesend && a.geschossen == b.geschossen;
}

QByteArray abendJson(const QDate& datum, const std::vector<Zeile>& zeilen, bool kurz, int neuNr) {
    const std::vector<int> platz = plaetze(zeilen, [](const Zeile& z) { return z.best10; });
    QJsonArray liste;
    for (std::size_t i = 0; i < zeilen.size(); ++i) {
        const Zeile& z = zeilen[i];
        QJsonArray serien;
        for (double s : z.serien) {
            serien.append(s > 0 ? zahl(s) : QJsonValue());
        }
        liste.append(QJsonObject{{QStringLiteral("platz"), platz[i]},
                                 {QStringLiteral("name"), anzeigename(z, kurz)},
                                 {QStringLiteral("serien"), serien},
                                 {QStringLiteral("gesamt"), zahl(z.gesamt)},
                                 {QStringLiteral("best10"), zahl(z.best10)},
                                 {QStringLiteral("teiler"), teilerWert(z.teiler)},
                                 {QStringLiteral("punkte"), zahl(z.punkte)},
                                 {QStringLiteral("neu"), neuNr != 0 && z.nr == neuNr}});
    }
    return json({{QStringLiteral("art"), QStringLiteral("abend")},
                 {QStringLiteral("datum"), datum.toString(QStringLiteral("dd.MM.yyyy"))},
                 {QStringLiteral("sortierung"), QStringLiteral("Beste 10")},
                 {QStringLiteral("zeilen"), liste}});
}

QByteArray jahrJson(int saison, const std::vector<Zeile>& zeilen, bool kurz) {
    const std::vector<int> platz =
        plaetze(zeilen, [](const Zeile& z) { return std::make_pair(z.punkte, z.best10); });
    QJsonArray liste;
    for (std::size_t i = 0; i < zeilen.size(); ++i) {
        const Zeile& z = zeilen[i];
        liste.append(QJsonObject{{QStringLiteral("platz"), platz[i]},
                                 {QStringLiteral("name"), anzeigename(z, kurz)},
                                 {QStringLiteral("best10"), zahl(z.best10)},
                                 {QStringLiteral("best20"), zahl(z.best20)},
                                 {QStringLiteral("gesamt"), zahl(z.gesamt)},
                                 {QStringLiteral("teiler"), teilerWert(z.teiler)},
                                 {QStringLiteral("punkte"), zahl(z.punkte)},
                                 {QStringLiteral("anwesend"), z.anwesend},
                                 {QStringLiteral("geschossen"), z.geschossen}});
    }
    return json({{QStringLiteral("art"), QStringLiteral("jahr")},
                 {QStringLiteral("saison"), saison},
                 {QStringLiteral("sortierung"), QStringLiteral("Punkte")},
                 {QStringLiteral("zeilen"), liste}});
}

}  // namespace anzeige
