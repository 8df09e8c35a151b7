#include "platform/SqliteDirekt.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QTime>

#include <sqlite3.h>

#include "platform/Database.h"
#include "platform/Nullwert.h"

namespace sqlitedirekt {

namespace {

void fehlerLesen(sqlite3* db, int code, Fehler* fehler) {
    fehler->code = code;
    const void* text = sqlite3_errmsg16(db);
    fehler->text = text ? QString(static_cast<const QChar*>(text)) : QString();
}

// As Qt's driver binds: NULL for a null value, numbers as numbers, date-times and times as
// ISO text, every other type as its text.
int binden(sqlite3_stmt* s, int i, const QVariant& wert) {
    if (nullwert::istNull(wert)) {
        return sqlite3_bind_null(s, i);
    }
    const auto text = [s, i](const QString& t) {
        return sqlite3_bind_text16(s, i, t.utf16(), static_cast<int>(t.size() * sizeof(QChar)),
                                   SQLITE_TRANSIENT);
    };
    switch (wert.userType()) {
        case QMetaType::QByteArray: {
            const QByteArray b = wert.toByteArray();
            return sqlite3_bind_blob(s, i, b.constData(), static_cast<int>(b.size()),
                                     SQLITE_TRANSIENT);
        }
        case QMetaType::Int:
        case QMetaType::Bool:
            return sqlite3_bind_int(s, i, wert.toInt());
        case QMetaType::Double:
            return sqlite3_bind_double(s, i, wert.toDouble());
        case QMetaType::UInt:
        case QMetaType::LongLong:
            return sqlite3_bind_int64(s, i, wert.toLongLong());
        case QMetaType::QDateTime:
            return text(wert.toDateTime().toString(Qt::ISODateWithMs));
        case QMetaType::QTime:
            return text(wert.toTime().toString(QStringLiteral("hh:mm:ss.zzz")));
        case QMetaType::QString: {
            const QString* t = static_cast<const QString*>(wert.constData());
            return sqlite3_bind_text16(s, i, t->utf16(),
                                       static_cast<int>(t->size() * sizeof(QChar)), SQLITE_STATIC);
        }
        default:
            return text(wert.toString());
    }
}

// Texts of one run of a statement, by their bytes: a name or a date that comes again in
// later rows shares the text read first instead of being converted and allocated anew.
// Bounded, so that a column of texts that never repeat costs a look-up, not memory.
class Texte {
  public:
    QString text(const char* t, int laenge) {
        const QByteArray roh = QByteArray::fromRawData(t, laenge);
        if (const auto it = texte_.constFind(roh); it != texte_.cend()) {
            return it.value();
        }
        QString neu = QString::fromUtf8(t, laenge);
        if (texte_.size() < kHoechstens) {
            texte_.insert(QByteArray(t, laenge), neu);
        }
        return neu;
    }

  private:
    static constexpr qsizetype kHoechstens = 4096;
    QHash<QByteArray, QString> texte_;
};

// As Qt's driver reads: whole numbers as 64-bit integers, reals as doubles, NULL as a null
// text, text as text.
QVariant lesen(sqlite3_stmt* s, int c, Texte* texte) {
    switch (sqlite3_column_type(s, c)) {
        case SQLITE_INTEGER:
            return QVariant(static_cast<qlonglong>(sqlite3_column_int64(s, c)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(s, c));
        case SQLITE_NULL:
            return QVariant(QMetaType::fromType<QString>());
        case SQLITE_BLOB:
            return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(s, c)),
                                       sqlite3_column_bytes(s, c)));
        default: {
            // Stored as UTF-8: read as such, without the engine converting it first. An empty
            // text stays an empty text, not a null one (which would be bound back as NULL).
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s, c));
            const int laenge = sqlite3_column_bytes(s, c);
            if (laenge <= 0) {
                return QVariant(QStringLiteral(""));
            }
            return QVariant(texte ? texte->text(t, laenge) : QString::fromUtf8(t, laenge));
        }
    }
}

}  // namespace

Anweisung::~Anweisung() {
    sqlite3_finalize(s_);
}

std::unique_ptr<Anweisung> vorbereiten(sqlite3* db, const QString& sql, Fehler* fehler) {
    sqlite3_stmt* s = nullptr;
    const void* rest = nullptr;
    const int rc =
        sqlite3_prepare16_v2(db, sql.utf16(), static_cast<int>((sql.size() + 1) * sizeof(QChar)),
                             &s, &rest);
    if (rc != SQLITE_OK) {
        fehlerLesen(db, rc, fehler);
        sqlite3_finalize(s);
        return nullptr;
    }
    if (rest && !QString(static_cast<const QChar*>(rest)).trimmed().isEmpty()) {
        sqlite3_finalize(s);
        fehler->code = SQLITE_MISUSE;
        fehler->text = QStringLiteral("Es kann nur eine Anweisung auf einmal ausgeführt werden.");
        return nullptr;
    }
    if (s == nullptr) {  // nothing but blanks or a comment
        fehler->code = SQLITE_MISUSE;
        fehler->text = QStringLiteral("Die Anweisung ist leer.");
        return nullptr;
    }
    return std::make_unique<Anweisung>(s);
}

bool ausfuehren(sqlite3* db, Anweisung& a, const QVariantList& werte, SqlRows* zeilen,
                bool* abfrage, Fehler* fehler) {
    sqlite3_stmt* s = a.s();
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    if (sqlite3_bind_parameter_count(s) != werte.size()) {
        fehler->code = SQLITE_RANGE;
        fehler->text = QStringLiteral("Die Zahl der Werte passt nicht zur Anweisung.");
        return false;
    }
    for (int i = 0; i < werte.size(); ++i) {
        if (const int rc = binden(s, i + 1, werte[i]); rc != SQLITE_OK) {
            fehlerLesen(db, rc, fehler);
            sqlite3_reset(s);
            return false;
        }
    }
    // The columns are counted after the first step: a statement the engine prepared anew
    // for a changed table may have more or fewer than when it was kept.
    int rc = sqlite3_step(s);
    const int spalten = sqlite3_column_count(s);
    *abfrage = spalten > 0;
    for (int c = 0; c < spalten; ++c) {
        const void* name = sqlite3_column_name16(s, c);
        zeilen->columns.append(QString(static_cast<const QChar*>(name)).remove(QLatin1Char('"')));
    }
    // A few rows convert their texts faster than they look them up.
    Texte texte;
    Texte* teilen = a.zeilenZuletzt >= 256 ? &texte : nullptr;
    for (; rc == SQLITE_ROW; rc = sqlite3_step(s)) {
        QVariantList zeile;
        zeile.reserve(spalten);
        for (int c = 0; c < spalten; ++c) {
            zeile.emplaceBack(lesen(s, c, teilen));
        }
        zeilen->rows.push_back(std::move(zeile));
    }
    a.zeilenZuletzt = static_cast<qsizetype>(zeilen->rows.size());
    if (rc != SQLITE_DONE) {
        // The specific reason comes with the reset.
        const int grund = sqlite3_reset(s);
        fehlerLesen(db, grund != SQLITE_OK ? grund : rc, fehler);
        zeilen->rows.clear();
        return false;
    }
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    return true;
}

}  // namespace sqlitedirekt
