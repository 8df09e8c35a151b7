#include "maintenance/Datensatzquelle.h"

#include <QDate>

#include "core/Zahlen.h"
#include "platform/Database.h"
#include "platform/SqlDialect.h"

namespace {
const QString kSelect = QStringLiteral("SELECT * FROM ");
}

Filterwert filterwert(const QString& text, Filteranlass anlass) {
    Filterwert f{QStringLiteral(" = "), text};
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        return f;
    }
    if (Zahlwert(t) == 0) {
        f = {QStringLiteral(" LIKE "), sqldialect::quoted(t)};
    } else {
        // Only the number reaches the statement, never the rest of what was typed.
        f.wert = QString::number(Zahlwert(t), 'g', 15);
    }
    const QDate tag = sqldialect::parseShortDate(t);
    if (tag.isValid()) {
        f.wert = tag.toString(QStringLiteral("#dd/MM/yyyy#"));
        f.op = anlass == Filteranlass::Suchen ? QStringLiteral(" >= ") : QStringLiteral(" = ");
    }
    return f;
}

QString datensatzquelle(const QString& tabelle, const QString& feld, const QString& text,
                        const QString& sortierung, Filteranlass anlass) {
    QString sql = kSelect + tabelle;
    const Filterwert f = filterwert(text, anlass);
    if (!feld.trimmed().isEmpty() && !text.trimmed().isEmpty()) {
        sql += QStringLiteral(" WHERE ") + feld + f.op + f.wert;
    }
    if (!sortierung.trimmed().isEmpty()) {
        sql += QStringLiteral(" ORDER BY ") + sortierung;
    }
    return sql;
}

QString mitZeilennummer(const QString& quelle, QString* fehler) {
    const sqldialect::Translation t =
        sqldialect::translate(quelle, sqldialect::HashDateOrder::DayFirst);
    if (!t.ok()) {
        *fehler = t.error;
        return {};
    }
    if (!t.sql.startsWith(kSelect)) {
        *fehler = QStringLiteral("Die Abfrage kann nicht bearbeitet werden.");
        return {};
    }
    // "T.*" rather than "*" after another column: both engines take that.
    const QString rest = t.sql.mid(kSelect.size());
    const QString tabelle = rest.section(u' ', 0, 0);
    return QStringLiteral("SELECT rowid AS zk_rowid, ") + tabelle + QStringLiteral(".* FROM ") +
           rest;
}

void neueZeileAnlegen(Database& db, const QString& tabelle) {
    if (tabelle == QLatin1String("Mitglieder")) {
        db.run(
            QStringLiteral("INSERT INTO Mitglieder (Nr) SELECT COALESCE(MAX(Nr), 0) + 1 "
                           "FROM Mitglieder"));
        return;
    }
    db.run(db.aufServer() ? QStringLiteral("INSERT INTO \"%1\" () VALUES ()").arg(tabelle)
                          : QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(tabelle));
}

bool zahlenfeld(Database& db, const QString& tabelle, const QString& feld) {
    for (const ColumnInfo& c : db.columns(tabelle)) {
        const QString typ = c.declaredType.toUpper();
        if (c.name.compare(feld, Qt::CaseInsensitive) == 0) {
            return typ.startsWith(QLatin1String("INT")) || typ.startsWith(QLatin1String("LONG")) ||
                   typ.startsWith(QLatin1String("DOUBLE")) ||
                   typ.startsWith(QLatin1String("SINGLE")) ||
                   typ.startsWith(QLatin1String("YESNO"));
        }
    }
    return false;
}
