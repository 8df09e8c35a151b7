#include "platform/MariaDbSql.h"

#include <QRegularExpression>
#include <QStringList>

namespace mariadbsql {

namespace {

bool wortZeichen(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// Renames words outside string literals and quoted names.
QString woerterErsetzen(const QString& sql) {
    QString out;
    out.reserve(sql.size() + 16);
    for (qsizetype i = 0; i < sql.size();) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"' || c == u'`') {
            const qsizetype ende = sql.indexOf(c, i + 1);
            const qsizetype bis = ende < 0 ? sql.size() : ende + 1;
            out += sql.mid(i, bis - i);
            i = bis;
            continue;
        }
        if (wortZeichen(c)) {
            qsizetype j = i;
            while (j < sql.size() && wortZeichen(sql[j])) {
                ++j;
            }
            const QString wort = sql.mid(i, j - i);
            if (wort.compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0) {
                out += kZeilenschluessel;
            } else if (wort.compare(QLatin1String("last_insert_rowid"), Qt::CaseInsensitive) == 0) {
                out += QStringLiteral("LAST_INSERT_ID");
            } else {
                out += wort;
            }
            i = j;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

// "Name TEXT(50) NOT NULL DEFAULT 0" -> "Name VARCHAR(50) NOT NULL DEFAULT 0 COMMENT 'TEXT(50)'"
QString spalte(const QString& definition) {
    static const QRegularExpression teile(
        QStringLiteral(
            R"(^\s*("(?:[^"]|"")+"|[A-Za-z0-9_]+)\s+([A-Za-z]+(?:\s*\(\s*\d+\s*\))?)(.*)$)"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = teile.match(definition);
    if (!m.hasMatch()) {
        return definition;
    }
    const QString deklariert = m.captured(2).remove(u' ');
    return m.captured(1) + u' ' + servertyp(deklariert) + m.captured(3) +
           QStringLiteral(" COMMENT '") + deklariert + u'\'';
}

// The column definitions between the outer parentheses, split at top-level commas.
QStringList definitionen(const QString& innen) {
    QStringList teile;
    int tiefe = 0;
    QString aktuell;
    for (const QChar c : innen) {
        if (c == u'(') {
            ++tiefe;
        } else if (c == u')') {
            --tiefe;
        }
        if (c == u',' && tiefe == 0) {
            teile << aktuell;
            aktuell.clear();
        } else {
            aktuell += c;
        }
    }
    teile << aktuell;
    return teile;
}

}  // namespace

QString servertyp(const QString& deklariert) {
    const QString t = deklariert.toUpper();
    static const QRegularExpression textMitLaenge(QStringLiteral(R"(^TEXT\((\d+)\)$)"));
    if (const auto m = textMitLaenge.match(t); m.hasMatch()) {
        return QStringLiteral("VARCHAR(%1)").arg(m.captured(1));
    }
    if (t == QLatin1String("INTEGER") || t == QLatin1String("LONG")) {
        return QStringLiteral("INT");
    }
    if (t == QLatin1String("SINGLE")) {
        return QStringLiteral("FLOAT");
    }
    if (t == QLatin1String("YESNO")) {
        return QStringLiteral("SMALLINT");
    }
    if (t == QLatin1String("BLOB")) {
        return QStringLiteral("LONGBLOB");
    }
    return t;  // DOUBLE, DATE, TEXT
}

QString uebersetzen(const QString& sqliteSql) {
    const QString sql = woerterErsetzen(sqliteSql);
    static const QRegularExpression tabelle(
        QStringLiteral(R"(^\s*CREATE\s+TABLE\s+("(?:[^"]|"")+"|[A-Za-z0-9_.]+)\s*\((.*)\)\s*$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    if (const auto m = tabelle.match(sql); m.hasMatch()) {
        QStringList spalten{
            kZeilenschluessel +
            QStringLiteral(" BIGINT NOT NULL AUTO_INCREMENT PRIMARY KEY INVISIBLE")};
        for (const QString& d : definitionen(m.captured(2))) {
            spalten << spalte(d);
        }
        return QStringLiteral("CREATE TABLE ") + m.captured(1) + QStringLiteral(" (") +
               spalten.join(QStringLiteral(", ")) +
               QStringLiteral(") ENGINE=InnoDB DEFAULT CHARSET=utf8mb4");
    }
    static const QRegularExpression neueSpalte(
        QStringLiteral(R"(^\s*(ALTER\s+TABLE\s+\S+\s+ADD\s+COLUMN\s+)(.*)$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    if (const auto m = neueSpalte.match(sql); m.hasMatch()) {
        return m.captured(1) + spalte(m.captured(2));
    }
    return sql;
}

}  // namespace mariadbsql
