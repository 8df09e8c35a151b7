#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

// Notices when another file is put in the place of the one a path names (a backup brought
// back from the command line while the program runs), so that whoever holds the old file
// open can follow. Writes to the file itself are no change; a path that changes is only
// noted.
class Dateiwechsel : public QObject {
    Q_OBJECT
  public:
    // `pfad` gives the file watched now ("" or a server address for none).
    explicit Dateiwechsel(std::function<QString()> pfad, int taktMs = 1000,
                          QObject* parent = nullptr);
    // Looks now instead of at the next beat.
    void pruefen();

  signals:
    void ersetzt();

  private:
    std::function<QString()> pfad_;
    QTimer takt_;
    QString zuletztPfad_;
    QString kennung_;
};
