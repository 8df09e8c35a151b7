#include "reports/Export.h"

#include <QDate>
#include <QRegularExpression>

#include "core/Zahlen.h"
#include "platform/Cp1252.h"
#include "platform/Database.h"
#include "platform/Dialogs.h"
#include "platform/Paths.h"
#include "platform/Textdatei.h"

namespace {

Spaltentyp typAus(const QString& deklariert) {
    const QString t = deklariert.toUpper();
    if (t.startsWith(QLatin1String("DATE"))) {
        return Spaltentyp::Datum;
    }
    if (t == QLatin1String("SINGLE")) {
        return Spaltentyp::Einfach;
    }
    if (t == QLatin1String("LONG")) {
        return Spaltentyp::Lang;
    }
    if (t == QLatin1String("YESNO")) {
        return Spaltentyp::JaNein;
    }
    if (t == QLatin1String("INTEGER")) {
        return Spaltentyp::Ganz;
    }
    if (t == QLatin1String("DOUBLE")) {
        return Spaltentyp::Doppelt;
    }
    return Spaltentyp::Text;
}

// With "," as the delimiter a decimal comma would split the field: a point is written.
QString dezimal(QString text, const QString& trenner) {
    if (trenner == QLatin1String(",")) {
        text.replace(u',', u'.');
    }
    return text;
}

// A stored date ("2026-12-05", perhaps with a time) as "05.12.2026"; "" when it is none.
QString datum(const QString& text) {
    const auto ziffer = [&text](qsizetype i) { return text[i] >= u'0' && text[i] <= u'9'; };
    // The usual form is rewritten character by character; any other goes to the date parser.
    if (text.size() >= 10 && text[4] == u'-' && text[7] == u'-' && ziffer(0) && ziffer(1) &&
        ziffer(2) && ziffer(3) && ziffer(5) && ziffer(6) && ziffer(8) && ziffer(9) &&
        (text.size() == 10 || !text[10].isDigit())) {
        const auto zahl = [&text](qsizetype i, qsizetype n) {
            int z = 0;
            for (qsizetype k = i; k < i + n; ++k) {
                z = z * 10 + (text[k].unicode() - u'0');
            }
            return z;
        };
        if (zahl(0, 4) >= 1000 && QDate::isValid(zahl(0, 4), zahl(5, 2), zahl(8, 2))) {
            const QChar t[10] = {text[8], text[9], u'.', text[5], text[6],
                                 u'.',    text[0], text[1], text[2], text[3]};
            return QString(t, 10);
        }
    }
    const QDate d = QDate::fromString(text.left(10), Qt::ISODate);
    return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

QString feld(const QVariant& wert, Spaltentyp typ, const QString& trenner) {
    if (wert.isNull()) {
        return {};
    }
    if (typ == Spaltentyp::Text) {
        return wert.toString();
    }
    if (typ == Spaltentyp::Datum) {
        return datum(wert.toString());
    }
    bool zahlOk = false;
    const double zahl = wert.toDouble(&zahlOk);
    switch (typ) {
        case Spaltentyp::Text:
        case Spaltentyp::Datum:
            break;
        case Spaltentyp::Einfach:
            return zahlOk ? dezimal(formatNullKomma(zahl), trenner) : QString();
        case Spaltentyp::Lang:
        case Spaltentyp::Ganz:
            return zahlOk ? formatNull(zahl) : QString();
        case Spaltentyp::JaNein:
            return zahlOk && zahl != 0 ? QStringLiteral("Ja") : QStringLiteral("Nein");
        case Spaltentyp::Doppelt:
            return zahlOk ? dezimal(zahlText(zahl), trenner) : QString();
    }
    return {};
}

// A field holding the delimiter, a quote or a line break is quoted (quotes doubled), so
// that a name like "Müller, Hans" stays one field and its row one row. What counts is the
// file's text: a character without a Windows-1252 code is written as "?" there.
// `trennerInDatei` is the delimiter as the file holds it.
QString geschuetzt(const QString& text, const QString& trenner, const QString& trennerInDatei) {
    bool ascii = true;
    bool zitieren = false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        ascii = ascii && u < 0x80;
        zitieren = zitieren || u == u'"' || u == u'\r' || u == u'\n';
    }
    if (!zitieren && !trenner.isEmpty()) {
        // Plain ASCII is its own form in the file; only other text is carried over first.
        zitieren = ascii ? text.contains(trennerInDatei)
                         : cp1252::decode(cp1252::encode(text)).contains(trennerInDatei);
    }
    if (!zitieren) {
        return text;
    }
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

}  // namespace

std::vector<Spaltentyp> spaltentypen(Database& db, const QString& anweisung,
                                     const QStringList& spalten) {
    static const QRegularExpression von(QStringLiteral("\\bFROM\\s+(\\w+)"),
                                        QRegularExpression::CaseInsensitiveOption);
    const auto m = von.match(anweisung);
    std::vector<ColumnInfo> deklariert;
    if (m.hasMatch()) {
        deklariert = db.columns(m.captured(1));
    }
    std::vector<Spaltentyp> typen;
    for (const QString& name : spalten) {
        Spaltentyp typ = Spaltentyp::Text;
        for (const ColumnInfo& c : deklariert) {
            if (c.name.compare(name, Qt::CaseInsensitive) == 0) {
                typ = typAus(c.declaredType);
                break;
            }
        }
        typen.push_back(typ);
    }
    return typen;
}

QByteArray exportText(const SqlRows& zeilen, const std::vector<Spaltentyp>& typen,
                      const QString& trenner, QString* ohneCode) {
    const QString zeilenende = QStringLiteral("\r\n");
    const QString trennerInDatei = cp1252::decode(cp1252::encode(trenner));
    QString text;
    // About eight characters a field: the text grows a few times, not once a field.
    text.reserve(static_cast<qsizetype>(zeilen.rows.size() + 1) *
                 (zeilen.columns.size() * (8 + trenner.size()) + 2));
    for (const QString& name : zeilen.columns) {
        text += geschuetzt(name, trenner, trennerInDatei);
        text += trenner;
    }
    text += zeilenende;
    for (const QVariantList& zeile : zeilen.rows) {
        for (int c = 0; c < zeile.size(); ++c) {
            const Spaltentyp typ = static_cast<std::size_t>(c) < typen.size()
                                       ? typen[static_cast<std::size_t>(c)]
                                       : Spaltentyp::Text;
            text += geschuetzt(feld(zeile[c], typ, trenner), trenner, trennerInDatei);
            text += trenner;
        }
        text += zeilenende;
    }
    // The log's arrows have no Windows-1252 code: they are written as the file can hold them.
    text.replace(QChar(0x2192), QLatin1String("->"));
    text.replace(QChar(0x2190), QLatin1String("<-"));
    if (ohneCode) {
        *ohneCode = cp1252::ohneCode(text);
    }
    return cp1252::encode(text);
}

void listeExportieren(Database& db, const QString& anweisung, sqldialect::HashDateOrder ordnung,
                      const QString& datei, const QString& trenner, Dialogs& dialogs) {
    QByteArray inhalt;
    QString ohneCode;
    try {
        const SqlRows zeilen = db.select(anweisung, ordnung);
        inhalt =
            exportText(zeilen, spaltentypen(db, anweisung, zeilen.columns), trenner, &ohneCode);
    } catch (const DatabaseError& e) {
        dialogs.message(e.message());
        return;
    }
    const QString pfad = paths::resolve(datei);
    QString fehler;
    if (!dateiErsetzen(pfad, inhalt, &fehler)) {
        dialogs.message(QStringLiteral("Es wurde nichts exportiert.\n") + fehler);
        return;
    }
    dialogs.message(QStringLiteral("Datei wurde nach ") + pfad + QStringLiteral(" exportiert") +
                    (ohneCode.isEmpty()
                         ? QString()
                         : QStringLiteral("\nDiese Zeichen gibt es in Windows-1252 nicht; sie "
                                          "stehen in der Datei als \"?\": ") +
                               ohneCode));
}
