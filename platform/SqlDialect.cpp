#include "platform/SqlDialect.h"

#include <QRegularExpression>

#include <optional>

namespace sqldialect {
namespace {

QDate dateFromParts(int day, int month, int year, qsizetype yearDigits) {
    if (yearDigits <= 2) {
        year += year < 30 ? 2000 : 1900;  // the classic two-digit window
    }
    return QDate(year, month, day);
}

QDate parseWithOrder(const QString& text, HashDateOrder order) {
    const QString t = text.trimmed();
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    if (auto m = iso.match(t); m.hasMatch()) {
        return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    }
    static const QRegularExpression parts(
        QStringLiteral("^(\\d{1,2})[./-](\\d{1,2})[./-](\\d{2}|\\d{4})$"));
    const auto m = parts.match(t);
    if (!m.hasMatch()) {
        return {};
    }
    const int a = m.captured(1).toInt();
    const int b = m.captured(2).toInt();
    const int year = m.captured(3).toInt();
    const qsizetype digits = m.captured(3).size();
    return order == HashDateOrder::DayFirst ? dateFromParts(a, b, year, digits)
                                            : dateFromParts(b, a, year, digits);
}

QString singleQuoted(const QString& text) {
    QString out = text;
    out.replace(u'\'', QStringLiteral("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

// Translates the wildcards of a LIKE pattern; sets `needsEscape` when the pattern
// contains characters SQLite would read as wildcards of its own.
QString likePattern(const QString& pattern, bool* needsEscape) {
    QString out;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'[' && i + 2 < pattern.size() && pattern[i + 2] == u']') {
            const QChar lit = pattern[i + 1];
            if (lit == u'%' || lit == u'_' || lit == u'\\') {
                out += u'\\';
                *needsEscape = true;
            }
            out += lit;
            i += 2;
        } else if (c == u'*') {
            out += u'%';
        } else if (c == u'?') {
            out += u'_';
        } else if (c == u'#') {
            out += u'_';  // one digit; SQLite has no digit class, any character will do
        } else if (c == u'%' || c == u'_' || c == u'\\') {
            out += u'\\';
            out += c;
            *needsEscape = true;
        } else {
            out += c;
        }
    }
    return out;
}

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// The last word of the output so far, ignoring trailing blanks.
QString lastWord(const QString& out) {
    qsizetype end = out.size();
    while (end > 0 && out[end - 1].isSpace()) {
        --end;
    }
    qsizetype start = end;
    while (start > 0 && isWordChar(out[start - 1])) {
        --start;
    }
    return out.mid(start, end - start);
}

// Reads a quoted literal starting at text[pos] (a ' or "); returns its content and moves
// pos behind the closing quote. A doubled quote stands for one.
std::optional<QString> readLiteral(const QString& text, qsizetype& pos) {
    const QChar q = text[pos];
    QString content;
    qsizetype i = pos + 1;
    while (i < text.size()) {
        if (text[i] == q) {
            if (i + 1 < text.size() && text[i + 1] == q) {
                content += q;
                i += 2;
                continue;
            }
            pos = i + 1;
            return content;
        }
        content += text[i];
        ++i;
    }
    return std::nullopt;
}

// Rewrites a yes/no comparison just written to `out`: "=TRUE" means "is non-zero", since
// files converted from the old engine store true as -1.
QString booleanComparison(QString& out, bool value) {
    qsizetype end = out.size();
    while (end > 0 && out[end - 1].isSpace()) {
        --end;
    }
    if (end >= 2 && out.mid(end - 2, 2) == QLatin1String("<>")) {
        out.truncate(end - 2);
        return value ? QStringLiteral("=0") : QStringLiteral("<>0");
    }
    if (end >= 1 && out[end - 1] == u'=' &&
        !(end >= 2 && (out[end - 2] == u'<' || out[end - 2] == u'>' || out[end - 2] == u'!'))) {
        out.truncate(end - 1);
        return value ? QStringLiteral("<>0") : QStringLiteral("=0");
    }
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace

QDate parseShortDate(const QString& text) {
    return parseWithOrder(text, HashDateOrder::DayFirst);
}

QString isoDate(const QDate& date) {
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString quoted(const QString& text) {
    QString out = text;
    out.remove(QChar(u'\0'));  // the engine would end the statement there
    out.replace(u'"', QStringLiteral("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

QString likePrefix(const QString& text) {
    QString escaped;
    for (QChar c : text) {
        if (c == u'*' || c == u'?' || c == u'#' || c == u'[') {
            escaped += u'[';
            escaped += c;
            escaped += u']';
        } else {
            escaped += c;
        }
    }
    return quoted(escaped + u'*');
}

Translation translate(const QString& sql, HashDateOrder hashOrder) {
    QString out;
    out.reserve(sql.size() + 16);
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            const bool afterLike =
                lastWord(out).compare(QLatin1String("LIKE"), Qt::CaseInsensitive) == 0;
            const auto literal = readLiteral(sql, i);
            if (!literal) {
                return {{}, QStringLiteral("Text ohne schließendes Anführungszeichen in: ") + sql};
            }
            if (afterLike) {
                bool needsEscape = false;
                out += singleQuoted(likePattern(*literal, &needsEscape));
                if (needsEscape) {
                    out += QStringLiteral(" ESCAPE '\\'");
                }
            } else {
                out += singleQuoted(*literal);
            }
            continue;
        }
        if (c == u'[') {
            const qsizetype close = sql.indexOf(u']', i);
            if (close < 0) {
                return {{}, QStringLiteral("Feldname ohne schließende Klammer in: ") + sql};
            }
            out += sql.mid(i, close - i + 1);
            i = close + 1;
            continue;
        }
        if (c == u'#') {
            const qsizetype close = sql.indexOf(u'#', i + 1);
            const QString inner = close < 0 ? QString() : sql.mid(i + 1, close - i - 1);
            const QDate d = parseWithOrder(inner, hashOrder);
            if (!d.isValid()) {
                return {{}, QStringLiteral("\"%1\" ist kein gültiges Datum.").arg(inner)};
            }
            out += singleQuoted(isoDate(d));
            i = close + 1;
            continue;
        }
        if (isWordChar(c) && (i == 0 || !isWordChar(sql[i - 1]))) {
            qsizetype end = i;
            while (end < sql.size() && isWordChar(sql[end])) {
                ++end;
            }
            const QString word = sql.mid(i, end - i);
            if (word.compare(QLatin1String("Datevalue"), Qt::CaseInsensitive) == 0) {
                qsizetype p = end;
                while (p < sql.size() && sql[p].isSpace())
                    ++p;
                if (p < sql.size() && sql[p] == u'(') {
                    ++p;
                    while (p < sql.size() && sql[p].isSpace())
                        ++p;
                    if (p < sql.size() && (sql[p] == u'\'' || sql[p] == u'"')) {
                        const auto literal = readLiteral(sql, p);
                        while (p < sql.size() && sql[p].isSpace())
                            ++p;
                        const QDate d = literal ? parseShortDate(*literal) : QDate();
                        if (!d.isValid() || p >= sql.size() || sql[p] != u')') {
                            return {{},
                                    QStringLiteral("\"%1\" ist kein gültiges Datum.")
                                        .arg(literal.value_or(QString()))};
                        }
                        out += singleQuoted(isoDate(d));
                        i = p + 1;
                        continue;
                    }
                }
            } else if (word.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0 ||
                       word.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0) {
                const bool value = word.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0;
                out += booleanComparison(out, value);
                i = end;
                continue;
            }
            out += word;
            i = end;
            continue;
        }
        out += c;
        ++i;
    }
    return {out, {}};
}

}  // namespace sqldialect
