#include "reports/Klassenregeln.h"

#include <algorithm>

namespace klassen {

QString feldPruefen(const QString& feld, const QVariant& wert) {
    if (feld == QLatin1String("Klasse")) {
        const int k = wert.toInt();
        if (wert.isNull() || k < 1 || k > 9) {
            return QStringLiteral("Die Nummer einer Klasse ist eine ganze Zahl von 1 bis 9.");
        }
    } else if (feld == QLatin1String("UAlter") || feld == QLatin1String("OAlter")) {
        if (!wert.isNull() && (wert.toInt() < 0 || wert.toInt() > 130)) {
            return QStringLiteral("Ein Alter liegt zwischen 0 und 130 Jahren.");
        }
    } else if (feld == QLatin1String("Geschlecht")) {
        const QString g = wert.toString().toLower();
        if (!wert.isNull() && g != QLatin1String("m") && g != QLatin1String("w") &&
            g != QLatin1String("mw") && g != QLatin1String("wm")) {
            return QStringLiteral(
                "Das Geschlecht einer Klasse ist \"m\", \"w\" oder \"mw\" (beide).");
        }
    }
    return {};
}

QStringList ueberschneidungen(const SqlRows& k) {
    QStringList gefunden;
    for (std::size_t i = 0; i < k.size(); ++i) {
        for (std::size_t j = i + 1; j < k.size(); ++j) {
            const QString ga = k.value(i, QStringLiteral("Geschlecht")).toString().toLower();
            const QString gb = k.value(j, QStringLiteral("Geschlecht")).toString().toLower();
            QString beide;
            for (const QChar c : {u'm', u'w'}) {
                if (ga.contains(c) && gb.contains(c)) {
                    beide += c;
                }
            }
            const QVariant ua = k.value(i, QStringLiteral("UAlter")),
                           oa = k.value(i, QStringLiteral("OAlter")),
                           ub = k.value(j, QStringLiteral("UAlter")),
                           ob = k.value(j, QStringLiteral("OAlter"));
            if (beide.isEmpty() || ua.isNull() || oa.isNull() || ub.isNull() || ob.isNull()) {
                continue;
            }
            const int von = std::max(ua.toInt(), ub.toInt());
            const int bis = std::min(oa.toInt(), ob.toInt());
            if (von > bis) {
                continue;
            }
            gefunden << QStringLiteral(
                            "Klasse %1 (%2) und Klasse %3 (%4) überschneiden sich: "
                            "%5 bis %6 Jahre, %7")
                            .arg(k.value(i, QStringLiteral("Klasse")).toString(),
                                 k.value(i, QStringLiteral("Bez")).toString(),
                                 k.value(j, QStringLiteral("Klasse")).toString(),
                                 k.value(j, QStringLiteral("Bez")).toString())
                            .arg(von)
                            .arg(bis)
                            .arg(beide == QLatin1String("mw") ? QStringLiteral("m und w") : beide);
        }
    }
    return gefunden;
}

}  // namespace klassen
