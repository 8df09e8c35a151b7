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

std::optional<Mitglied> mitgliedNachNummer(Database& db, const QString& nummerText) {
    QString nummer = formatRaute(Zahlwert(nummerText));
    if (nummer.isEmpty()) {
        nummer = QStringLiteral("0");
    }
    const SqlRows rows = db.select(QStringLiteral("SELECT * FROM Mitglieder WHERE Nr=") + nummer);
    if (rows.empty()) {
        return std::nullopt;
    }
    return ausZeile(rows, 0);
}

NamensTreffer mitgliederNachName(Database& db, const QString& anfang) {
    const SqlRows rows = db.select(QStringLiteral("SELECT * From Mitglieder WHERE Name LIKE ") +
                                   sqldialect::likePrefix(anfang));
    NamensTreffer t;
    t.anzahl = static_cast<int>(rows.size());
    if (!rows.empty()) {
        t.erster = ausZeile(rows, 0);
    }
    return t;
}
