#pragma once

#include <QString>
#include <QStringList>

// A classic INI profile file as the Windows profile service reads and writes it:
// section and key names match without regard to case, values come back as stored
// (surrounding blanks and one pair of enclosing quotes removed) and at most 254
// characters long, and a write replaces one value in place and leaves every other
// line of the file, comments included, as it was. The file is Windows-1252.
class ProfileFile {
  public:
    static constexpr int kMaxValueLength = 254;

    explicit ProfileFile(QString path);

    const QString& path() const { return path_; }

    // "" for a missing file, section or key.
    QString read(const QString& section, const QString& key) const;

    // Creates the file, the section or the key as needed. The file is replaced
    // atomically, so a failed write leaves the old settings intact.
    bool write(const QString& section, const QString& key, const QString& value) const;

  private:
    QStringList loadLines(QString* lineBreak) const;

    QString path_;
};
