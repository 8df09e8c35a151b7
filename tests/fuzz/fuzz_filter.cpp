// The table browser's search and sort: any text typed into the search field, for any field
// and sort choice of a club table, into the statement the browser runs.
//
// Oracle: the statement is one statement the engine accepts (or is refused with a German
// reason before it reaches the engine), it only reads, and it reads nothing but the chosen
// table: the typed text reaches it as a quoted or numeric value, never as SQL.
#include <QDir>
#include <QTemporaryDir>

#include <sqlite3.h>

#include "core/Schema.h"
#include "maintenance/Datensatzquelle.h"
#define ZK_FUZZ_EIGENER_START
#include "tests/fuzz/Fuzzhilfe.h"

namespace {

struct Verein {
    QTemporaryDir dir;
    sqlite3* db = nullptr;
    QStringList tabellen;
    QList<QStringList> spalten;
};

Verein& verein() {
    static Verein* v = [] {
        auto* w = new Verein;
        const QString pfad = w->dir.filePath(QStringLiteral("verein.db"));
        QString fehler;
        if (!schema::neueVereinsdatenbank(pfad, &fehler) ||
            sqlite3_open_v2(QFile::encodeName(pfad).constData(), &w->db, SQLITE_OPEN_READONLY,
                            nullptr) != SQLITE_OK) {
            fuzz::verletzt("Vereinsdatei", fehler);
        }
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(w->db,
                           "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name", -1,
                           &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            w->tabellen << QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        }
        sqlite3_finalize(st);
        for (const QString& t : w->tabellen) {
            QStringList s;
            const QByteArray sql = ("PRAGMA table_info(" + t + ")").toUtf8();
            sqlite3_prepare_v2(w->db, sql.constData(), -1, &st, nullptr);
            while (sqlite3_step(st) == SQLITE_ROW) {
                s << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
            }
            sqlite3_finalize(st);
            w->spalten << s;
        }
        return w;
    }();
    return *v;
}

struct Zugriffe {
    QString tabelle;
    QString fremd;  // the first thing read or called that the statement must not touch
};

int pruefen(void* p, int aktion, const char* a, const char* b, const char*, const char*) {
    auto* z = static_cast<Zugriffe*>(p);
    const QString erstes = QString::fromUtf8(a ? a : "");
    switch (aktion) {
        case SQLITE_SELECT:
            return SQLITE_OK;
        case SQLITE_READ:
            if (erstes.compare(z->tabelle, Qt::CaseInsensitive) != 0 && z->fremd.isEmpty()) {
                z->fremd = QStringLiteral("liest ") + erstes;
            }
            return SQLITE_OK;
        case SQLITE_FUNCTION: {
            const QString f = QString::fromUtf8(b ? b : "").toLower();
            if (f != QLatin1String("like") && f != QLatin1String("count") && z->fremd.isEmpty()) {
                z->fremd = QStringLiteral("ruft ") + f;
            }
            return SQLITE_OK;
        }
        default:
            if (z->fremd.isEmpty()) {
                z->fremd = QStringLiteral("Aktion %1").arg(aktion);
            }
            return SQLITE_OK;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::anwendung();
    verein();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    Verein& v = verein();
    fuzz::Bytes in(daten, groesse);
    const int t = in.byte() % v.tabellen.size();
    const QStringList& spalten = v.spalten[t];
    const std::uint8_t f = in.byte();
    const std::uint8_t s = in.byte();
    const QString feld = f < 0xf0 ? spalten.value(f % spalten.size()) : QString();
    const QString sortierung = s < 0xc0 ? spalten.value(s % spalten.size()) : QString();
    const Filteranlass anlass = in.byte() & 1 ? Filteranlass::Suchen : Filteranlass::Sortieren;
    const QString text = QString::fromUtf8(in.alles());

    const QString quelle = datensatzquelle(v.tabellen[t], feld, text, sortierung, anlass);
    QString fehler;
    const QString sql = mitZeilennummer(quelle, &fehler);
    if (sql.isEmpty()) {
        if (fehler.isEmpty()) {
            fuzz::verletzt("abgelehnt ohne Grund", quelle);
        }
        return 0;
    }
    Zugriffe zugriffe{v.tabellen[t], {}};
    sqlite3_set_authorizer(v.db, &pruefen, &zugriffe);
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* st = nullptr;
    const char* rest = nullptr;
    const int rc =
        sqlite3_prepare_v2(v.db, utf8.constData(), static_cast<int>(utf8.size()), &st, &rest);
    sqlite3_set_authorizer(v.db, nullptr, nullptr);
    if (rc != SQLITE_OK || st == nullptr) {
        const QString grund = QString::fromUtf8(sqlite3_errmsg(v.db));
        sqlite3_finalize(st);
        fuzz::verletzt("Anweisung wird nicht angenommen", sql + QStringLiteral(" -- ") + grund);
    }
    const QString danach =
        QString::fromUtf8(rest, static_cast<qsizetype>(utf8.constData() + utf8.size() - rest));
    const bool nurLesen = sqlite3_stmt_readonly(st) != 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
    }
    sqlite3_finalize(st);
    if (!danach.trimmed().isEmpty()) {
        fuzz::verletzt("mehr als eine Anweisung", sql);
    }
    if (!nurLesen || !zugriffe.fremd.isEmpty()) {
        fuzz::verletzt("Suchtext wurde zu SQL", sql + QStringLiteral(" -- ") + zugriffe.fremd);
    }
    return 0;
}
