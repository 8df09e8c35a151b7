#pragma once

#include <QString>

class Clock;
class Dialogs;
class QWidget;

// Offers to take an Access file of the old program over into a new club file beside it,
// with a progress bar while it runs and a report at the end. True when it was taken over;
// *neu is then the new file. The safety copy is named by the time of `uhr`.
bool accessUebernahmeAnbieten(const QString& mdb, Dialogs& dialogs, const Clock& uhr,
                              QWidget* eltern, QString* neu);
