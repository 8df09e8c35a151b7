#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// A classic INI profile file as the Windows profile service reads and writes it:
// section and key names match without regard to case, values come back as stored
// (surrounding blanks and one pair of enclosing quotes removed) and at most 254
// characters long, and a write replaces one value in place and leaves every other
// line of the file, comments included, as it was. The file is Windows-1252.
//
// The file is read once and again only when it has changed on disk. A file far larger than
// any settings file (a copy gone wrong) is neither read nor written: every key reads as "".
class ProfileFile {
  public:
    static constexpr int kMaxValueLength = 254;
    static constexpr qint64 kMaxFileSize = 1024 * 1024;

    explicit ProfileFile(QString path);

    const QString& path() const { return path_; }

    // "" for a missing file, section or key.
    QString read(const QString& section, const QString& key) const;

    // Creates the file, the section or the key as needed. The file is replaced
    // atomically, so a failed write leaves the old settings intact.
    bool write(const QString& section, const QString& key, const QString& value) const;
    // Several keys of one section in one replacement of the file.
    bool write(const QString& section, const QList<std::pair<QString, QString>>& werte) const;

    // The file is too large to be a settings file (see above).
    bool tooLarge() const;

  private:
    struct Snapshot {
        bool loaded = false;
        bool tooLarge = false;
        qint64 size = -1;
        QDateTime modified;
        QStringList lines;
        QString lineBreak = QStringLiteral("\r\n");
    };
    const Snapshot& current() const;

    QString path_;
    mutable Snapshot snapshot_;
};
