#include "bench/Vereinsdaten.h"

#include <QDir>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "core/Schema.h"
#include "platform/SqlDialect.h"

namespace bench {

void pruefe(int rc, sqlite3* db) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::abort();
    }
}

Anweisung::Anweisung(sqlite3* db, const char* sql) {
    pruefe(sqlite3_prepare_v2(db, sql, -1, &s, nullptr), db);
}
Anweisung::~Anweisung() {
    sqlite3_finalize(s);
}
void Anweisung::lauf(sqlite3* db) {
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
    }
    pruefe(rc, db);
    sqlite3_reset(s);
}

Vereinsdaten& Vereinsdaten::get() {
    static Vereinsdaten daten;
    return daten;
}

Vereinsdaten::Vereinsdaten() : dir_(QDir::current().filePath("zk-bench-XXXXXX")) {
    QString fehler;
    if (!schema::neueVereinsdatenbank(pfad(), &fehler)) {
        std::fprintf(stderr, "%s\n", qPrintable(fehler));
        std::abort();
    }
    sqlite3* db = nullptr;
    pruefe(sqlite3_open(pfad().toUtf8().constData(), &db), db);
    pruefe(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    {
        Anweisung m(db, "INSERT INTO Mitglieder (Nr, Name, Klasse) VALUES (?, ?, ?)");
        for (int nr = 1; nr <= kMitglieder; ++nr) {
            const QByteArray name = QStringLiteral("Mitglied %1").arg(nr).toUtf8();
            sqlite3_bind_int(m.s, 1, nr);
            sqlite3_bind_text(m.s, 2, name.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(m.s, 3, 1 + nr % 4);
            m.lauf(db);
        }
        Anweisung e(
            db,
            "INSERT INTO Ergebnis (MitglNr, Datum, S1, S2, S3, S4, S5, S6, Gesammt, Teiler, "
            "Best10, Best20, Punkte, Jahr, Scheibentyp, Liegend, Anwesend) "
            "VALUES (?, ?, 90, 91, 92, 93, 0, 0, 366, 35.4, 93, 185, 3, ?, 'LG', 0, 1)");
        Anweisung s(db,
                    "INSERT INTO Einzelergebnisse (MitglNr, Datum, Schuss, Teiler, Ring, X, Y) "
                    "VALUES (?, ?, ?, ?, ?, ?, ?)");
        std::mt19937 zufall(42);
        int abend = 0;
        for (int saison = 0; saison < kSaisons; ++saison) {
            for (int a = 0; a < kAbendeJeSaison; ++a, ++abend) {
                const QDate tag = kErsterAbend.addDays(7 * abend);
                const QByteArray datum = sqldialect::isoDate(tag).toUtf8();
                for (int k = 0; k < kSchuetzenJeAbend; ++k) {
                    const int nr = 1 + (abend * 7 + k) % kMitglieder;
                    sqlite3_bind_int(e.s, 1, nr);
                    sqlite3_bind_text(e.s, 2, datum.constData(), -1, SQLITE_STATIC);
                    sqlite3_bind_int(e.s, 3, tag.year());
                    e.lauf(db);
                    for (int schuss = 1; schuss <= kSchuesseJeSchuetze; ++schuss) {
                        sqlite3_bind_int(s.s, 1, nr);
                        sqlite3_bind_text(s.s, 2, datum.constData(), -1, SQLITE_STATIC);
                        sqlite3_bind_int(s.s, 3, schuss);
                        sqlite3_bind_double(s.s, 4, 5 + zufall() % 800 / 10.0);
                        sqlite3_bind_int(s.s, 5, 6 + static_cast<int>(zufall() % 5));
                        sqlite3_bind_double(s.s, 6, zufall() % 2000 / 10.0 - 100);
                        sqlite3_bind_double(s.s, 7, zufall() % 2000 / 10.0 - 100);
                        s.lauf(db);
                    }
                }
            }
        }
    }
    pruefe(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
}

}  // namespace bench
