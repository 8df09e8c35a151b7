#pragma once

#include <QString>

#include "platform/ProfileFile.h"

// The settings file wettk.ini. Every window reads and writes it through these two calls;
// there is no other settings store.
class Ini {
  public:
    explicit Ini(QString path) : file_(std::move(path)) {}

    const QString& path() const { return file_.path(); }

    // The stored text (at most 254 characters), "" when file, section or key is missing.
    QString IniLesen(const QString& section, const QString& key) const {
        return file_.read(section, key);
    }

    void IniSchreiben(const QString& section, const QString& key, const QString& value) {
        file_.write(section, key, value);
    }

    // Several keys of one section at once (one write of the file).
    void IniSchreiben(const QString& section, const QList<std::pair<QString, QString>>& werte) {
        file_.write(section, werte);
    }

    // What the user must know about the file (German), or "".
    QString problem() const {
        if (!file_.tooLarge()) {
            return {};
        }
        return QStringLiteral(
                   "Die Einstellungsdatei \"%1\" ist zu groß für eine "
                   "Einstellungsdatei (mehr als 1 MB) und wird nicht gelesen. Es gelten "
                   "die Standardeinstellungen; die Datei bleibt unverändert.")
            .arg(file_.path());
    }

  private:
    ProfileFile file_;
};
