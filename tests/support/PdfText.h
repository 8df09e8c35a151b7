#pragma once

#include <QString>
#include <QStringList>

// The text of a PDF as poppler's pdftotext gives it ("-layout", "-bbox", ... in `optionen`);
// a null string and *fehler when it cannot be had. Under Wine the Linux pdftotext is started
// through Wine's door to Unix programs: those get no pipe and no process handle, so it writes
// into a file beside the PDF that appears only when it is complete.
QString pdfText(const QString& pdf, const QStringList& optionen = {}, QString* fehler = nullptr);
