#include "platform/DeutscheOrdnung.h"

#include <QCollator>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

namespace deutsch {

namespace {

const QCollator& kollator() {
    // One a thread: a collator is not to be shared between threads.
    thread_local const QCollator c = [] {
        QCollator k(QLocale(QLocale::German, QLocale::Germany));
        k.setCaseSensitivity(Qt::CaseInsensitive);
        k.setNumericMode(false);
        return k;
    }();
    return c;
}

QString text(const void* daten, int laenge) {
    return QString::fromUtf8(static_cast<const char*>(daten), laenge);
}

int sqliteVergleich(void*, int laengeA, const void* a, int laengeB, const void* b) {
    return vergleichen(text(a, laengeA), text(b, laengeB));
}

// LIKE with % and _ over case-folded texts; `escape` makes the next character plain.
bool passt(const QString& muster, qsizetype m, const QString& wert, qsizetype w, QChar escape,
           int tiefe) {
    if (tiefe > 1000) {
        return false;  // a pattern of thousands of % is no search a user types
    }
    while (m < muster.size()) {
        QChar c = muster[m];
        if (!escape.isNull() && c == escape && m + 1 < muster.size()) {
            if (w >= wert.size() || wert[w] != muster[m + 1]) {
                return false;
            }
            m += 2;
            ++w;
            continue;
        }
        if (c == u'%') {
            while (m < muster.size() && muster[m] == u'%') {
                ++m;
            }
            if (m == muster.size()) {
                return true;
            }
            for (qsizetype i = w; i <= wert.size(); ++i) {
                if (passt(muster, m, wert, i, escape, tiefe + 1)) {
                    return true;
                }
            }
            return false;
        }
        if (w >= wert.size() || (c != u'_' && c != wert[w])) {
            return false;
        }
        ++m;
        ++w;
    }
    return w == wert.size();
}

void sqliteLike(sqlite3_context* kontext, int argc, sqlite3_value** argv) {
    const auto* m = sqlite3_value_text(argv[0]);
    const auto* w = sqlite3_value_text(argv[1]);
    if (m == nullptr || w == nullptr) {
        sqlite3_result_null(kontext);
        return;
    }
    QChar escape;
    if (argc == 3) {
        const auto* e = sqlite3_value_text(argv[2]);
        const QString es = e ? QString::fromUtf8(reinterpret_cast<const char*>(e)) : QString();
        if (es.size() != 1) {
            sqlite3_result_error(kontext, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = es[0].toCaseFolded();
    }
    const QString muster =
        QString::fromUtf8(reinterpret_cast<const char*>(m), sqlite3_value_bytes(argv[0]))
            .toCaseFolded();
    const QString wert =
        QString::fromUtf8(reinterpret_cast<const char*>(w), sqlite3_value_bytes(argv[1]))
            .toCaseFolded();
    sqlite3_result_int(kontext, passt(muster, 0, wert, 0, escape, 0) ? 1 : 0);
}

}  // namespace

int vergleichen(const QString& a, const QString& b) {
    const int r = kollator().compare(a, b);
    // Texts that differ only in case keep one order, so that sorting is stable.
    return r != 0 ? r : QString::compare(a, b, Qt::CaseSensitive);
}

bool sqliteEinrichten(const QSqlDatabase& db) {
    const QVariant h = db.driver() ? db.driver()->handle() : QVariant();
    if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3*") != 0) {
        return false;
    }
    auto* handle = *static_cast<sqlite3* const*>(h.data());
    if (handle == nullptr) {
        return false;
    }
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    return sqlite3_create_collation_v2(handle, "DEUTSCH", SQLITE_UTF8, nullptr, sqliteVergleich,
                                       nullptr) == SQLITE_OK &&
           sqlite3_create_function_v2(handle, "like", 2, flags, nullptr, sqliteLike, nullptr,
                                      nullptr, nullptr) == SQLITE_OK &&
           sqlite3_create_function_v2(handle, "like", 3, flags, nullptr, sqliteLike, nullptr,
                                      nullptr, nullptr) == SQLITE_OK;
}

QString namenOrdnen(const QString& sql, bool server) {
    const qsizetype by = sql.lastIndexOf(QLatin1String("ORDER BY"), -1, Qt::CaseInsensitive);
    if (by < 0) {
        return sql;
    }
    static const QRegularExpression name(
        QStringLiteral(
            R"((?<![\w."])((?:\w+\.)?(?:"Name"|\bName\b))(?!\s*COLLATE)(?=\s*(?:,|$|\)|\bASC\b|\bDESC\b|\bLIMIT\b)))"),
        QRegularExpression::CaseInsensitiveOption);
    QString ordnung = sql.mid(by);
    ordnung.replace(name, server ? QStringLiteral("CONVERT(\\1 USING utf8mb4) COLLATE "
                                                  "utf8mb4_unicode_ci")
                                 : QStringLiteral("\\1 COLLATE DEUTSCH"));
    return sql.left(by) + ordnung;
}

}  // namespace deutsch
