#include "rangeimport/Auswahl.h"

#include <QDate>
#include <QSet>
#include <QStringList>

#include "platform/OdbcQuelle.h"
#include "platform/SqlDialect.h"

namespace {

// The first column's values, each once, without empty ones.
QStringList einmal(const SqlRows& rows) {
    QStringList werte;
    QSet<QString> gesehen;
    for (const QVariantList& r : rows.rows) {
        if (r.isEmpty() || r[0].isNull()) {
            continue;
        }
        const QString wert = r[0].toString();
        if (!gesehen.contains(wert)) {
            gesehen.insert(wert);
            werte << wert;
        }
    }
    return werte;
}

QString zeitpunkt(const QDate& tag) {
    return tag.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00");
}

// From the first moment of `von` up to, not including, the first of `bis`: a stamp at
// midnight, in the day's last second or with fractions of a second is inside.
QString zeitraum(const QDate& von, const QDate& bis) {
    return QStringLiteral("Zeitstempel >= '") + zeitpunkt(von) +
           QStringLiteral("' AND Zeitstempel < '") + zeitpunkt(bis) + QStringLiteral("'");
}

}  // namespace

QString standLiteral(const QString& text) {
    QString out;
    out.reserve(text.size() + 2);
    out += u'\'';
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            continue;
        }
        if (c == u'\'') {
            out += QStringLiteral("''");
        } else if (c == u'\\') {
            out += QStringLiteral("\\\\");
        } else {
            out += c;
        }
    }
    out += u'\'';
    return out;
}

QString auswahlSql(const Importauswahl& a, QString* fehler) {
    QStringList bedingungen;
    if (a.nurListe) {
        bedingungen << QStringLiteral("Starterliste = ") + standLiteral(a.liste);
    }
    switch (a.disziplin) {
        case Importauswahl::Disziplin::Eine:
            bedingungen << QStringLiteral("Disziplin = ") + standLiteral(a.disziplinName);
            break;
        case Importauswahl::Disziplin::Wertung:
            bedingungen << QStringLiteral("Disziplin like '%Wertung%'");
            break;
        case Importauswahl::Disziplin::Alle:
            break;
    }
    switch (a.datum) {
        case Importauswahl::Datum::Tag: {
            const QDate tag = sqldialect::parseShortDate(a.tag.trimmed());
            if (!tag.isValid()) {
                if (fehler) {
                    *fehler = QStringLiteral("\"%1\" ist kein gültiges Datum.").arg(a.tag);
                }
                return {};
            }
            bedingungen << zeitraum(tag, tag.addDays(1));
            break;
        }
        case Importauswahl::Datum::Jahr: {
            bool ok = false;
            const int jahr = a.jahr.trimmed().toInt(&ok);
            if (!ok || jahr < 1900 || jahr > 9998) {
                if (fehler) {
                    *fehler = QStringLiteral("\"%1\" ist kein gültiges Jahr.").arg(a.jahr);
                }
                return {};
            }
            bedingungen << zeitraum(QDate(jahr, 1, 1), QDate(jahr + 1, 1, 1));
            break;
        }
        case Importauswahl::Datum::Alles:
            break;
    }
    QString sql = QStringLiteral("SELECT * FROM Scheiben ");
    if (!bedingungen.isEmpty()) {
        sql += QStringLiteral("WHERE ") + bedingungen.join(QStringLiteral(" AND "));
    }
    return sql;
}

QStringList starterlisten(Lesequelle& stand) {
    return einmal(
        stand.select(QStringLiteral("SELECT Starterliste FROM Scheiben order by Starterliste")));
}

QStringList disziplinen(Lesequelle& stand) {
    return einmal(stand.select(QStringLiteral("SELECT Disziplin FROM Scheiben order by Disziplin")));
}

bool standAntwortet(Lesequelle& stand) {
    try {
        stand.select(QStringLiteral("SELECT count(*) FROM Scheiben WHERE 1 = 0"));
        return true;
    } catch (const DatabaseError&) {
        return false;
    }
}
