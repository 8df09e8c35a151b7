#pragma once

class QCoreApplication;

// Qt's own texts in German (file dialog, the context menu of every field: "Rückgängig",
// "Kopieren", "Einfügen", ...), from Debian's qt6-translations-l10n. False when the
// translations are not installed; the program then shows Qt's English texts.
bool qtDeutschLaden(QCoreApplication& app);
