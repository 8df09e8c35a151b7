#include "evening/Mitglieder.h"

#include "core/Zahlen.h"
#include "platform/Database.h"
#include "platform/SqlDialect.h"

namespace {
Mitglied ausZeile(const SqlRows& rows, std::size_t i) {
    Mitglied m;
    m.Nr = rows.value(i, QStringLiteral("Nr")).toInt();
    m.Name = rows.value(i, QStringLiteral("Name")).toString();
    m.Klasse = rows.value(i, QStringLiteral("Klasse")).toInt();
    return m;
}
}  // namespace

// The typed values are bound, so that one statement serves every number and name.
std::optional<Mitglied> mitgliedNachNummer(Database& db, const QString& nummerText) {
    const double nummer = rundeGerade(Zahlwert(nummerText));
    if (!(nummer >= -2147483648.0 && nummer <= 2147483647.0)) {
        return std::nullopt;
    }
    const SqlRows rows =
        db.run(QStringLiteral("SELECT * FROM Mitglieder WHERE Nr = ?"), {static_cast<int>(nummer)});
    if (rows.empty()) {
        return std::nullopt;
    }
    return ausZeile(rows, 0);
}

NamensTreffer mitgliederNachName(Database& db, const QString& anfang) {
    QString muster;
    for (QChar c : anfang) {
        if (c == u'%' || c == u'_' || c == u'!') {
            muster += u'!';
        }
        muster += c;
    }
    const SqlRows rows = db.run(
        QStringLiteral("SELECT * FROM Mitglieder WHERE Name LIKE ? ESCAPE '!'"), {muster + u'%'});
    NamensTreffer t;
    t.anzahl = static_cast<int>(rows.size());
    if (!rows.empty()) {
        t.erster = ausZeile(rows, 0);
    }
    return t;
}
