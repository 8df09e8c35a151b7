#include "platform/DeutscheOrdnung.h"

#include <QCollator>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QThreadStorage>
#include <QVariant>

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <optional>

namespace deutsch {

namespace {

const QCollator& kollator() {
    // One a thread: a collator is not to be shared between threads. Qt's thread storage
    // drops it when the thread ends; with MinGW a thread_local's destructor would run after
    // the thread's storage is freed.
    static QThreadStorage<QCollator*> je;
    if (!je.hasLocalData()) {
        auto* k = new QCollator(QLocale(QLocale::German, QLocale::Germany));
        k->setCaseSensitivity(Qt::CaseInsensitive);
        k->setNumericMode(false);
        je.setLocalData(k);
    }
    return *je.localData();
}

QString text(const void* daten, int laenge) {
    return QString::fromUtf8(static_cast<const char*>(daten), laenge);
}

// The weight of a blank, digit or plain letter in the German order (blank < digits <
// letters, a letter the same in either case); -1 for any other character.
template <class Zeichen>
int gewicht(Zeichen z) {
    const auto c = static_cast<std::uint32_t>(z);
    if (c == ' ') {
        return 1;
    }
    if (c >= '0' && c <= '9') {
        return 2 + static_cast<int>(c - '0');
    }
    if (c >= 'a' && c <= 'z') {
        return 12 + static_cast<int>(c - 'a');
    }
    if (c >= 'A' && c <= 'Z') {
        return 12 + static_cast<int>(c - 'A');
    }
    return -1;
}

// Names of blanks, digits and plain letters ("Mitglied 12", "anna Klein") are compared
// without the collator, as it would compare them: weight by weight, the shorter first, and
// texts that differ only in case by their characters. nullopt when either text holds
// anything else (umlauts, punctuation), which only the collator orders.
template <class Zeichen>
std::optional<int> einfachVergleichen(const Zeichen* a, qsizetype la, const Zeichen* b,
                                      qsizetype lb) {
    const qsizetype n = std::min(la, lb);
    int ergebnis = 0;
    qsizetype i = 0;
    for (; i < n; ++i) {
        const int ga = gewicht(a[i]), gb = gewicht(b[i]);
        if (ga < 0 || gb < 0) {
            return std::nullopt;
        }
        if (ga != gb) {
            ergebnis = ga < gb ? -1 : 1;
            break;
        }
    }
    // The rest must be plain too, else the collator might weigh the texts otherwise.
    for (qsizetype k = i; k < la; ++k) {
        if (gewicht(a[k]) < 0) {
            return std::nullopt;
        }
    }
    for (qsizetype k = i; k < lb; ++k) {
        if (gewicht(b[k]) < 0) {
            return std::nullopt;
        }
    }
    if (ergebnis != 0) {
        return ergebnis;
    }
    if (la != lb) {
        return la < lb ? -1 : 1;
    }
    for (qsizetype k = 0; k < n; ++k) {
        if (a[k] != b[k]) {
            return static_cast<std::uint32_t>(a[k]) < static_cast<std::uint32_t>(b[k]) ? -1 : 1;
        }
    }
    return 0;
}

int sqliteVergleich(void*, int laengeA, const void* a, int laengeB, const void* b) {
    if (const auto r = einfachVergleichen(static_cast<const unsigned char*>(a), laengeA,
                                          static_cast<const unsigned char*>(b), laengeB)) {
        return *r;
    }
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
    if (const auto r = einfachVergleichen(a.utf16(), a.size(), b.utf16(), b.size())) {
        return *r;
    }
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
