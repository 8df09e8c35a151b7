#pragma once

#include <QString>

#include <memory>

class QFile;

// A text log written entry by entry. Opening creates the file anew; each entry reaches the
// disk at once, so a log read after a crash shows how far the work came.
class Protokolldatei {
  public:
    Protokolldatei();
    ~Protokolldatei();
    Protokolldatei(const Protokolldatei&) = delete;
    Protokolldatei& operator=(const Protokolldatei&) = delete;

    // False with the German reason when the file cannot be created.
    bool oeffnen(const QString& pfad, QString* fehler);
    // Writes the text as UTF-8; a log that is not open takes nothing.
    void schreiben(const QString& text);
    void schliessen();
    const QString& pfad() const { return pfad_; }

  private:
    std::unique_ptr<QFile> datei_;
    QString pfad_;
};
