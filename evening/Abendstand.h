#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <exception>
#include <optional>

class Database;

// What this place last saw of a member's stored evening, so that storing can tell whether
// another place stored the same evening in between.
struct GeladenerAbend {
    int nr = -1;               // -1: nothing recalled yet
    QString datum;             // ISO date
    QByteArray fingerabdruck;  // of the stored rows; empty when none were stored

    bool gilt(int n, const QString& d) const { return n == nr && d == datum; }
};

// When and where an evening was stored last (from the program's own note of it).
struct Speicherzeit {
    QString zeit;   // "yyyy-MM-dd HH:mm:ss"
    QString platz;  // host name of the PC
};

// Thrown by storing when the member's stored evening is no longer the one this place
// recalled; nothing was written.
class AbendAnderswoGespeichert : public std::exception {
  public:
    AbendAnderswoGespeichert(int nr, std::optional<Speicherzeit> wann)
        : nr_(nr), wann_(std::move(wann)) {}
    const char* what() const noexcept override { return "evening stored elsewhere"; }
    int nr() const { return nr_; }
    const std::optional<Speicherzeit>& wann() const { return wann_; }

  private:
    int nr_;
    std::optional<Speicherzeit> wann_;
};

// A fingerprint of the member's stored evening: its Ergebnis row and every shot. Empty
// when nothing is stored. Throws DatabaseError.
QByteArray abendFingerabdruck(Database& db, int nr, const QString& datum);

// The program's note of when and where an evening was stored (none for evenings stored by
// older programs, the range import or the table browser).
std::optional<Speicherzeit> speicherzeitLesen(Database& db, int nr, const QString& datum);
void speicherzeitSchreiben(Database& db, int nr, const QString& datum, const QDateTime& jetzt);
