#include "core/Aenderungen.h"

#include <QSysInfo>

#include <cmath>

#include "platform/Anmeldung.h"
#include "platform/Database.h"

namespace aenderungen {

namespace {
const QString kNeu = QStringLiteral(
    "INSERT INTO %1Aenderungen (Zeit, Platz, Benutzer, Tabelle, MitglNr, Datum, Feld, Alt, Neu, "
    "Anlass) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");

}  // namespace

QString text(const QVariant& wert) {
    if (!wert.isValid() || wert.isNull()) {
        return {};
    }
    bool ok = false;
    const double d = wert.toDouble(&ok);
    if (ok && wert.typeId() != QMetaType::QString) {
        return QString::number(d, 'g', 7);
    }
    return wert.toString();
}

bool gleich(const QVariant& a, const QVariant& b) {
    const bool leerA = !a.isValid() || a.isNull(), leerB = !b.isValid() || b.isNull();
    if (leerA || leerB) {
        return leerA == leerB;
    }
    bool okA = false, okB = false;
    const double da = a.toDouble(&okA), db = b.toDouble(&okB);
    if (okA && okB) {
        return std::fabs(da - db) <= 1e-6 * std::max(1.0, std::fabs(da));
    }
    return a.toString() == b.toString();
}

QString zeile(const QStringList& spalten, const QVariantList& werte) {
    QStringList teile;
    for (int i = 0; i < spalten.size() && i < werte.size(); ++i) {
        const QString t = text(werte[i]);
        if (!t.isEmpty()) {
            teile << spalten[i] + u' ' + t;
        }
    }
    return teile.join(QStringLiteral(", "));
}

QStringList anlegen(const QString& schema) {
    const QString vor = schema.isEmpty() ? QString() : schema + u'.';
    return {QStringLiteral("CREATE TABLE %1Aenderungen (Zeit TEXT(19), Platz TEXT(64), "
                           "Benutzer TEXT(64), Tabelle TEXT(30), MitglNr INTEGER, Datum DATE, "
                           "Feld TEXT(30), Alt TEXT, Neu TEXT, Anlass TEXT(30))")
                .arg(vor),
            QStringLiteral("CREATE INDEX %1Aenderungen_Zeit ON Aenderungen (Zeit)").arg(vor)};
}

void schreiben(Database& db, const std::vector<Eintrag>& eintraege, const QDateTime& jetzt,
               const QString& schema) {
    if (eintraege.empty()) {
        return;
    }
    const QString zeit = jetzt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    const QString platz = QSysInfo::machineHostName().left(64);
    const QString wer = anmeldung::name();
    for (const Eintrag& e : eintraege) {
        db.run(
            kNeu.arg(schema.isEmpty() ? QString() : schema + u'.'),
            {zeit, platz, wer, e.tabelle, e.nr, e.datum.isEmpty() ? QVariant() : QVariant(e.datum),
             e.feld, e.alt, e.neu, e.anlass});
    }
}

}  // namespace aenderungen
