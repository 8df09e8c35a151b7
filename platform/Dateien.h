#pragma once

#include <QString>

// Whole files: existence, names and copies.
namespace dateien {

bool existiert(const QString& pfad);
// The file's own name when it exists, "" otherwise.
QString nameWennVorhanden(const QString& pfad);
// Size in bytes, -1 when there is no such file.
qint64 groesse(const QString& pfad);
// The same file, however the two paths are written (links and "." resolved).
bool dieselbeDatei(const QString& a, const QString& b);

// Which file the path names now ("" when none): changes when another file is put in its
// place (a backup brought back), not when the file is written.
QString kennung(const QString& pfad);

// Copies `von` to `nach`, replacing an older `nach` only once the copy is complete. False
// with the German reason.
bool kopieren(const QString& von, const QString& nach, QString* fehler);

// Gives a finished file its name; false when `nach` exists already or the move fails.
bool umbenennen(const QString& von, const QString& nach);
// Puts a finished file in the place of `nach` in one step, whether `nach` is there or not;
// false when the move fails (then `nach` is as it was).
bool ersetzen(const QString& von, const QString& nach);
// Removes a file that may or may not be there.
void entfernen(const QString& pfad);
// Makes the folder a file is to go into; false when it cannot be made.
bool ordnerFuer(const QString& pfad);

}  // namespace dateien
