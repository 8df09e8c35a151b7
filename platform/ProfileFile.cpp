#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <optional>

#include "platform/Cp1252.h"

namespace {

// The name of a "[section]" line, or nothing for any other line.
std::optional<QString> sectionName(const QString& line) {
    const QString t = line.trimmed();
    if (!t.startsWith(u'[')) {
        return std::nullopt;
    }
    const qsizetype close = t.indexOf(u']');
    return (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
}

struct Entry {
    QString key;
    QString value;
};

std::optional<Entry> entryOf(const QString& line) {
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0) {
        return std::nullopt;
    }
    const QString key = line.left(eq).trimmed();
    if (key.isEmpty() || key.startsWith(u';')) {
        return std::nullopt;
    }
    QString value = line.mid(eq + 1).trimmed();
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front()) {
        value = value.mid(1, value.size() - 2);
    }
    return Entry{key, value};
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A value must stay on its line: line breaks would split it into new entries.
QString oneLine(QString text) {
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

}  // namespace

ProfileFile::ProfileFile(QString path) : path_(std::move(path)) {}

const ProfileFile::Snapshot& ProfileFile::current() const {
    const QFileInfo info(path_);
    const qint64 size = info.exists() ? info.size() : -1;
    const QDateTime modified = info.exists() ? info.lastModified() : QDateTime();
    if (snapshot_.loaded && snapshot_.size == size && snapshot_.modified == modified) {
        return snapshot_;
    }
    snapshot_ = Snapshot();
    snapshot_.loaded = true;
    snapshot_.size = size;
    snapshot_.modified = modified;
    if (size > kMaxFileSize) {
        snapshot_.tooLarge = true;
        return snapshot_;
    }
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        return snapshot_;
    }
    // No more than the size seen (plus what a growing file may have added, within the bound).
    const QString text = cp1252::decode(file.read(std::min(size, kMaxFileSize) + 1));
    snapshot_.lineBreak = text.contains(u'\n') && !text.contains(QStringLiteral("\r\n"))
                              ? QStringLiteral("\n")
                              : QStringLiteral("\r\n");
    QStringList lines = text.split(u'\n');
    for (QString& l : lines) {
        if (l.endsWith(u'\r')) {
            l.chop(1);
        }
    }
    if (!lines.isEmpty() && lines.back().isEmpty()) {
        lines.removeLast();  // the break after the last line
    }
    snapshot_.lines = std::move(lines);
    return snapshot_;
}

bool ProfileFile::tooLarge() const {
    return current().tooLarge;
}

QString ProfileFile::read(const QString& section, const QString& key) const {
    const QStringList& lines = current().lines;
    bool inSection = false;
    for (const QString& line : lines) {
        if (auto name = sectionName(line)) {
            if (inSection) {
                break;  // only the first section of that name counts
            }
            inSection = sameName(*name, section);
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (auto entry = entryOf(line); entry && sameName(entry->key, key)) {
            return entry->value.left(kMaxValueLength);
        }
    }
    return {};
}

namespace {

// Sets one key in the lines of a file: replaced in place, or added to its section.
void setzeIn(QStringList& lines, const QString& section, const QString& key, const QString& value) {
    const QString cleanValue = oneLine(value);
    qsizetype sectionStart = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (auto name = sectionName(lines[i]); name && sameName(*name, section)) {
            sectionStart = i;
            break;
        }
    }

    if (sectionStart < 0) {
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(key + QLatin1Char('=') + cleanValue);
        return;
    }
    qsizetype lastContent = sectionStart;
    for (qsizetype i = sectionStart + 1; i < lines.size(); ++i) {
        if (sectionName(lines[i])) {
            break;
        }
        if (auto entry = entryOf(lines[i]); entry && sameName(entry->key, key)) {
            lines[i] = entry->key + QLatin1Char('=') + cleanValue;
            return;
        }
        if (!lines[i].trimmed().isEmpty()) {
            lastContent = i;
        }
    }
    lines.insert(lastContent + 1, key + QLatin1Char('=') + cleanValue);
}

}  // namespace

bool ProfileFile::write(const QString& section, const QString& key, const QString& value) const {
    return write(section, {{key, value}});
}

bool ProfileFile::write(const QString& section,
                        const QList<std::pair<QString, QString>>& werte) const {
    const Snapshot& stand = current();
    if (stand.tooLarge) {
        return false;  // never overwrite a file we could not read
    }
    const QString lineBreak = stand.lineBreak;
    QStringList lines = stand.lines;
    for (const auto& [key, value] : werte) {
        setzeIn(lines, section, key, value);
    }

    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write(cp1252::encode(lines.join(lineBreak) + lineBreak));
    if (!file.commit()) {
        return false;
    }
    snapshot_.loaded = false;  // read back on the next lookup, with the new file's date
    return true;
}
