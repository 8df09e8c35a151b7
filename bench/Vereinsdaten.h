#pragma once
// The generated club database of the benchmarks: ten seasons of a club of 300 members,
// made once per run, and bare SQLite helpers for the floors.
#include <sqlite3.h>

#include <QDate>
#include <QString>
#include <QTemporaryDir>

namespace bench {

constexpr int kMitglieder = 300;
constexpr int kSaisons = 10;
constexpr int kAbendeJeSaison = 50;
constexpr int kSchuetzenJeAbend = 40;
constexpr int kSchuesseJeSchuetze = 40;
inline const QDate kErsterAbend(2015, 1, 7);

void pruefe(int rc, sqlite3* db);

struct Anweisung {
    sqlite3_stmt* s = nullptr;
    Anweisung(sqlite3* db, const char* sql);
    ~Anweisung();
    void lauf(sqlite3* db);
};

class Vereinsdaten {
  public:
    static Vereinsdaten& get();
    QString pfad() const { return dir_.filePath("Training.db"); }

  private:
    Vereinsdaten();
    QTemporaryDir dir_;
};

}  // namespace bench
