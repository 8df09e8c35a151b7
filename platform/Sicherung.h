#pragma once

#include <QString>

#include <functional>
#include <memory>

class QLockFile;

// Consistent copies of SQLite files.
namespace sicherung {

// A file being written as "<ziel>.part" (and SQLite's "-journal" beside it) is marked by
// "<ziel>.part.lock", held while the writing process lives (the system lets go of it when
// the process ends, however it ends). What a killed process left is recognised by a lock
// nobody holds any more, at once and whatever its age.
class Teil {
  public:
    explicit Teil(const QString& ziel);
    ~Teil();
    Teil(const Teil&) = delete;
    Teil& operator=(const Teil&) = delete;
    // False when another living process writes the same part.
    bool belegt() const { return !gesperrt_; }
    // True when not even its lock could be made (a folder that cannot be written).
    bool unschreibbar() const { return unschreibbar_; }
    const QString& pfad() const { return pfad_; }
    // Removes the part and what SQLite or a copy wrote beside it.
    void entfernen() const;

  private:
    QString pfad_;
    std::unique_ptr<QLockFile> sperre_;  // where the system has no flock
    int sperrDatei_ = -1;                // the lock file, held with flock while it lives
    bool gesperrt_ = false;
    bool unschreibbar_ = false;
};

// Removes the parts in `ordner` whose names begin with `praefix` (all when empty) that no
// living process writes any more: the remains of a backup or restore that was killed.
void resteEntfernen(const QString& ordner, const QString& praefix = {});

// Copies the database file `quelle` to `ziel` with SQLite's backup interface, so that the
// copy is whole also while another program writes the file. A rollback journal left by a
// crash is rolled back first where the file can be written, so the copy is the last
// consistent state. The copy is written as "<ziel>.part", checked with PRAGMA
// integrity_check, and only then given its name (an older `ziel` is replaced in one step).
// False with the German reason; `ziel` is then as it was and no ".part" is left.
// `vorDemNamen` may still write the copy before it is checked and named; false stops.
// A `ziel` that is a link is the file it points to: that file is replaced, the link stays;
// a replaced file's permissions (and group, where allowed) pass to the new one.
bool dateiSichern(
    const QString& quelle, const QString& ziel, QString* fehler,
    const std::function<bool(const QString& teil, QString* fehler)>& vorDemNamen = {});

// The file a path names, through any links (the path itself when nothing is there).
QString echteDatei(const QString& pfad);

// PRAGMA integrity_check of a file: true when SQLite finds it sound.
bool unversehrt(const QString& datei, QString* fehler);

// The German line that introduces an engine's own text in a message.
QString treibermeldung(const QString& text);

}  // namespace sicherung
