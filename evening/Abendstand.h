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
    // What this place's last store would have left when the server did not say whether it
    // took it (the connection went at the commit): finding that is finding our own.
    QByteArray ungewiss;

    bool gilt(int n, const QString& d) const { return n == nr && d == datum; }
};

// When and where an evening was stored last (from the program's own note of it).
struct Speicherzeit {
    QString zeit;   // "yyyy-MM-dd HH:mm:ss"
    QString platz;  // the PC and stand (platz::name())
};

// Thrown by storing when the member's stored evening is no longer the one this place
// recalled; nothing was written. Either another place stored it (`wann` from the note of
// that store, when there is one), or its result was deleted since it was recalled.
class AbendAnderswoGespeichert : public std::exception {
  public:
    AbendAnderswoGespeichert(int nr, std::optional<Speicherzeit> wann, bool geloescht = false)
        : nr_(nr), wann_(std::move(wann)), geloescht_(geloescht) {}
    const char* what() const noexcept override { return "evening stored elsewhere"; }
    int nr() const { return nr_; }
    const std::optional<Speicherzeit>& wann() const { return wann_; }
    bool geloescht() const { return geloescht_; }

  private:
    int nr_;
    std::optional<Speicherzeit> wann_;
    bool geloescht_ = false;
};

// A fingerprint of the member's stored evening: its Ergebnis row and every shot. Empty
// when nothing is stored. Throws DatabaseError.
QByteArray abendFingerabdruck(Database& db, int nr, const QString& datum);

// The program's note of when and where an evening was stored (none for evenings stored by
// older programs, the range import or the table browser).
std::optional<Speicherzeit> speicherzeitLesen(Database& db, int nr, const QString& datum);
void speicherzeitSchreiben(Database& db, int nr, const QString& datum, const QDateTime& jetzt);
// Whether a result row of the member's evening is stored.
bool ergebnisVorhanden(Database& db, int nr, const QString& datum);

// The question before an evening is stored over what changed since this place recalled it:
// what happened (deleted, or stored at which place and when), and what "Ja" and "Nein" do.
QString konfliktFrage(const AbendAnderswoGespeichert& konflikt, const QString& name,
                      const QString& datumText);
