#include "maintenance/Datensatzquelle.h"

#include <QDate>

#include "core/Zahlen.h"
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
