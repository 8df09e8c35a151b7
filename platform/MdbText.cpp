#include "platform/MdbText.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>

#include <cmath>

namespace mdbtext {

std::vector<Spalte> spalten(const QString& schema) {
    std::vector<Spalte> s;
    // One field per line: a tab, the name in brackets, tabs, the type, maybe NOT NULL.
    static const QRegularExpression zeile(
        QStringLiteral(R"(^\s*\[([^\]]+)\]\s+(.+?)(\s+NOT NULL)?\s*,?\s*$)"));
    bool drin = false;
    for (const QString& z : schema.split(u'\n')) {
        if (z.startsWith(QLatin1String("CREATE TABLE"))) {
            drin = true;
            continue;
        }
        if (!drin) {
            continue;
        }
        if (z.trimmed().startsWith(u')')) {
            break;
        }
        const QRegularExpressionMatch m = zeile.match(z);
        if (m.hasMatch()) {
            s.push_back({m.captured(1), m.captured(2).trimmed()});
        }
    }
    return s;
}

std::vector<QVariantList> zeilen(const QByteArray& csv, QStringList* kopf) {
    std::vector<QVariantList> alle;
    const QString text = QString::fromUtf8(csv);
    QVariantList zeile;
    QString feld;
    bool zitiert = false;  // inside quotes
    bool warZitiert = false;
    bool erste = true;
    auto feldEnde = [&] {
        zeile << (warZitiert || !feld.isEmpty() ? QVariant(feld) : QVariant());
        feld.clear();
        warZitiert = false;
    };
    auto zeileEnde = [&] {
        feldEnde();
        if (erste) {
            for (const QVariant& v : zeile) {
                kopf->append(v.toString());
            }
            erste = false;
        } else {
            alle.push_back(zeile);
        }
        zeile.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (zitiert) {
            if (c == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    feld += u'"';
                    ++i;
                } else {
                    zitiert = false;
                }
            } else {
                feld += c;
            }
        } else if (c == u'"') {
            zitiert = true;
            warZitiert = true;
        } else if (c == u',') {
            feldEnde();
        } else if (c == u'\n') {
            zeileEnde();
        } else if (c != u'\r') {
            feld += c;
        }
    }
    if (!feld.isEmpty() || warZitiert || !zeile.isEmpty()) {
        zeileEnde();
    }
    return alle;
}

QString deklarierterTyp(const QString& accessTyp) {
    const QString t = accessTyp.trimmed().toLower();
    if (t == QLatin1String("long integer")) {
        return QStringLiteral("LONG");
    }
    if (t == QLatin1String("integer") || t == QLatin1String("byte")) {
        return QStringLiteral("INTEGER");
    }
    if (t == QLatin1String("single")) {
        return QStringLiteral("SINGLE");
    }
    if (t == QLatin1String("double") || t.startsWith(QLatin1String("currency")) ||
        t.startsWith(QLatin1String("numeric"))) {
        return QStringLiteral("DOUBLE");
    }
    if (t == QLatin1String("boolean")) {
        return QStringLiteral("YESNO");
    }
    if (t == QLatin1String("datetime")) {
        return QStringLiteral("DATE");
    }
    if (t.startsWith(QLatin1String("binary")) || t.startsWith(QLatin1String("ole"))) {
        return QStringLiteral("BLOB");
    }
    if (t.startsWith(QLatin1String("text ("))) {
        return QStringLiteral("TEXT") + accessTyp.trimmed().mid(5).remove(u' ');
    }
    return QStringLiteral("TEXT");  // memo, hyperlink, replication id, extended dates, ...
}

bool passtInDouble(const QString& zahl) {
    QString ziffern;
    for (const QChar c : zahl.trimmed()) {
        if (c.isDigit()) {
            ziffern += c;
        } else if (c != u'.' && c != u'-' && c != u'+') {
            return false;
        }
    }
    // Leading zeros, and zeros after the point at the end, carry no digit of the value.
    const qsizetype punkt = zahl.indexOf(u'.');
    QString wert = ziffern;
    if (punkt >= 0) {
        while (wert.endsWith(u'0')) {
            wert.chop(1);
        }
    }
    while (wert.startsWith(u'0')) {
        wert.remove(0, 1);
    }
    return wert.size() <= 15;
}

QVariant wert(const QVariant& text, const QString& deklariert, bool nurTag) {
    if (!text.isValid() || text.isNull()) {
        return {};
    }
    const QString s = text.toString();
    const QString typ = deklariert.toUpper();
    bool ok = false;
    if (typ.startsWith(QLatin1String("YESNO"))) {
        const QString w = s.trimmed().toUpper();
        if (w == QLatin1String("TRUE")) {
            return 1;
        }
        if (w == QLatin1String("FALSE")) {
            return 0;
        }
        const double d = w.toDouble(&ok);
        return ok ? QVariant(d != 0 ? 1 : 0) : QVariant(s);
    }
    if (typ.startsWith(QLatin1String("DATE"))) {
        const QDateTime dt =
            QDateTime::fromString(s.trimmed(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!dt.isValid()) {
            return s;  // mdbtools could not read it either; the text is kept
        }
        return dt.time() == QTime(0, 0) || nurTag
                   ? dt.date().toString(Qt::ISODate)
                   : dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    if (typ == QLatin1String("INTEGER") || typ == QLatin1String("LONG")) {
        const qlonglong n = s.trimmed().toLongLong(&ok);
        return ok ? QVariant(n) : QVariant(s);
    }
    if (typ == QLatin1String("SINGLE") || typ == QLatin1String("DOUBLE")) {
        const double d = s.trimmed().toDouble(&ok);
        if (!ok) {
            return s;
        }
        // A single keeps its seven digits, not the noise of its binary form.
        return typ == QLatin1String("SINGLE")
                   ? QString::number(static_cast<float>(d), 'g', 7).toDouble()
                   : d;
    }
    if (typ == QLatin1String("BLOB")) {
        return QByteArray::fromHex(s.toLatin1());
    }
    return s;
}

}  // namespace mdbtext
