#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file with the given bytes as a whole: they go into a temporary file beside it
// that takes the file's place only once everything is written, so a failure never leaves
// a half-written file that looks complete. False with the German reason.
bool dateiErsetzen(const QString& pfad, const QByteArray& inhalt, QString* fehler);
