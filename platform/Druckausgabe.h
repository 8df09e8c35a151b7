#pragma once

#include <QString>

#include <functional>
#include <memory>

class Clock;
class Dialogs;
class Drucker;

// Where a printout goes: a printer or a PDF file (its path in *pdf), or nothing with the
// German reason in *fehler.
using DruckerWahl = std::function<std::unique_ptr<Drucker>(QString* pdf, QString* fehler)>;

// The system's default printer when there is one and the user wants it, else a PDF file in
// the documents folder.
std::unique_ptr<Drucker> standardDrucker(Dialogs& dialogs, const Clock& uhr, QString* pdf,
                                         QString* fehler);

// Lays out a printout on the chosen printer, ends the job and tells where a PDF went.
void ausdrucken(Dialogs& dialogs, const Clock& uhr, const DruckerWahl& wahl,
                const std::function<void(Drucker&)>& layout);
