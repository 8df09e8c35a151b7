#include "platform/MariaDbDirekt.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <errmsg.h>
#include <mysql.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/Database.h"
#include "platform/Nullwert.h"

namespace mariadbdirekt {

namespace {

void fehlerLesen(MYSQL_STMT* s, Fehler* fehler) {
    fehler->code = mysql_stmt_errno(s);
    // As Qt's driver reads the statement's error text; the caller reads it as UTF-8 again.
    fehler->text = QString::fromLatin1(mysql_stmt_error(s));
}

bool ganzzahl(enum_field_types t) {
    return t == MYSQL_TYPE_TINY || t == MYSQL_TYPE_SHORT || t == MYSQL_TYPE_LONG ||
           t == MYSQL_TYPE_INT24 || t == MYSQL_TYPE_LONGLONG;
}

bool datum(enum_field_types t) {
    return t == MYSQL_TYPE_DATE || t == MYSQL_TYPE_DATETIME || t == MYSQL_TYPE_TIMESTAMP;
}

bool blob(enum_field_types t) {
    return t == MYSQL_TYPE_TINY_BLOB || t == MYSQL_TYPE_BLOB || t == MYSQL_TYPE_MEDIUM_BLOB ||
           t == MYSQL_TYPE_LONG_BLOB;
}

// Columns read here as Qt's driver reads them; any other kind (bits, years, times, JSON,
// geometry, sets) goes through the driver.
bool lesbar(const MYSQL_FIELD& f) {
    switch (f.type) {
        case MYSQL_TYPE_DECIMAL:
        case MYSQL_TYPE_NEWDECIMAL:
        case MYSQL_TYPE_FLOAT:
        case MYSQL_TYPE_DOUBLE:
        case MYSQL_TYPE_NULL:
        case MYSQL_TYPE_VARCHAR:
        case MYSQL_TYPE_VAR_STRING:
        case MYSQL_TYPE_STRING:
            return true;
        default:
            return ganzzahl(f.type) || datum(f.type) || blob(f.type);
    }
}

// The type Qt's driver gives a column's values.
QMetaType typ(const MYSQL_FIELD& f) {
    const bool ohneVorzeichen = (f.flags & UNSIGNED_FLAG) != 0;
    switch (f.type) {
        case MYSQL_TYPE_TINY:
            return QMetaType(ohneVorzeichen ? QMetaType::UChar : QMetaType::Char);
        case MYSQL_TYPE_SHORT:
            return QMetaType(ohneVorzeichen ? QMetaType::UShort : QMetaType::Short);
        case MYSQL_TYPE_LONG:
        case MYSQL_TYPE_INT24:
            return QMetaType(ohneVorzeichen ? QMetaType::UInt : QMetaType::Int);
        case MYSQL_TYPE_LONGLONG:
            return QMetaType(ohneVorzeichen ? QMetaType::ULongLong : QMetaType::LongLong);
        case MYSQL_TYPE_FLOAT:
        case MYSQL_TYPE_DOUBLE:
        case MYSQL_TYPE_DECIMAL:
        case MYSQL_TYPE_NEWDECIMAL:
            return QMetaType(QMetaType::Double);
        case MYSQL_TYPE_DATE:
            return QMetaType(QMetaType::QDate);
        case MYSQL_TYPE_DATETIME:
        case MYSQL_TYPE_TIMESTAMP:
            return QMetaType(QMetaType::QDateTime);
        case MYSQL_TYPE_STRING:
        case MYSQL_TYPE_VAR_STRING:
        case MYSQL_TYPE_TINY_BLOB:
        case MYSQL_TYPE_BLOB:
        case MYSQL_TYPE_MEDIUM_BLOB:
        case MYSQL_TYPE_LONG_BLOB:
            return QMetaType((f.flags & BINARY_FLAG) ? QMetaType::QByteArray : QMetaType::QString);
        default:
            return QMetaType(QMetaType::QString);
    }
}

// One column of the rows: where the client puts a value and what it says about it.
struct Spalte {
    QMetaType typ;
    enum_field_types art = MYSQL_TYPE_NULL;
    std::vector<char> puffer;
    unsigned long laenge = 0;
    my_bool null = 0;
    my_bool abgeschnitten = 0;
};

// The value of the current row, as Qt's driver makes it.
QVariant wert(const Spalte& s) {
    if (s.null) {
        return QVariant(s.typ);
    }
    const char* p = s.puffer.data();
    if (ganzzahl(s.art)) {
        switch (s.typ.id()) {
            case QMetaType::Char:
                return QVariant(static_cast<int>(*reinterpret_cast<const signed char*>(p)));
            case QMetaType::UChar:
                return QVariant(static_cast<uint>(*reinterpret_cast<const unsigned char*>(p)));
            default:
                return QVariant(s.typ, p);
        }
    }
    if (datum(s.art)) {
        MYSQL_TIME t;
        std::memcpy(&t, p, sizeof t);
        const QDate tag(static_cast<int>(t.year), static_cast<int>(t.month),
                        static_cast<int>(t.day));
        if (s.typ.id() == QMetaType::QDate) {
            return tag;
        }
        return QDateTime(tag, QTime(static_cast<int>(t.hour), static_cast<int>(t.minute),
                                    static_cast<int>(t.second),
                                    static_cast<int>(t.second_part / 1000)));
    }
    if (s.typ.id() == QMetaType::QByteArray) {
        return QByteArray(p, static_cast<qsizetype>(s.laenge));
    }
    const QString text = QString::fromUtf8(p, static_cast<qsizetype>(s.laenge));
    if (s.typ.id() == QMetaType::Double) {
        bool ok = false;
        const double d = text.toDouble(&ok);
        return ok ? QVariant(d) : QVariant();
    }
    return text;
}

}  // namespace

Anweisung::~Anweisung() {
    mysql_stmt_close(s_);
}

bool bindbar(const QVariantList& werte) {
    for (const QVariant& w : werte) {
        switch (w.userType()) {
            case QMetaType::UnknownType:
            case QMetaType::QString:
            case QMetaType::QByteArray:
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::Bool:
            case QMetaType::Double:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
                break;
            default:
                return false;
        }
    }
    return true;
}

std::unique_ptr<Anweisung> vorbereiten(MYSQL* db, const QString& sql, Fehler* fehler) {
    MYSQL_STMT* s = mysql_stmt_init(db);
    if (!s) {
        fehler->code = mysql_errno(db);
        fehler->text = QString::fromUtf8(mysql_error(db));
        return nullptr;
    }
    auto a = std::make_unique<Anweisung>(s);
    const QByteArray text = sql.toUtf8();
    if (mysql_stmt_prepare(s, text.constData(), static_cast<unsigned long>(text.size())) != 0) {
        fehlerLesen(s, fehler);
        return nullptr;
    }
    if (MYSQL_RES* meta = mysql_stmt_result_metadata(s)) {
        const unsigned int n = mysql_num_fields(meta);
        const MYSQL_FIELD* felder = mysql_fetch_fields(meta);
        bool alle = true;
        for (unsigned int i = 0; i < n; ++i) {
            alle = alle && lesbar(felder[i]);
        }
        mysql_free_result(meta);
        if (!alle) {
            fehler->code = 0;
            fehler->text.clear();
            return nullptr;
        }
    }
    return a;
}

bool ausfuehren(Anweisung& a, const QVariantList& werte, SqlRows* zeilen, bool* abfrage,
                int* geaendert, Fehler* fehler) {
    MYSQL_STMT* s = a.s();
    const unsigned long anzahl = mysql_stmt_param_count(s);
    if (anzahl != static_cast<unsigned long>(werte.size())) {
        fehler->code = CR_PARAMS_NOT_BOUND;
        fehler->text = QStringLiteral("Die Zahl der Werte passt nicht zur Anweisung.");
        return false;
    }
    // Bound as the driver binds: NULL, numbers as numbers, texts as UTF-8.
    std::vector<MYSQL_BIND> werteBind(werte.size());
    std::vector<my_bool> nullen(werte.size());
    std::vector<QByteArray> texte(werte.size());
    for (qsizetype i = 0; i < werte.size(); ++i) {
        const QVariant& w = werte[i];
        MYSQL_BIND& b = werteBind[static_cast<std::size_t>(i)];
        std::memset(&b, 0, sizeof b);
        nullen[static_cast<std::size_t>(i)] = nullwert::istNull(w) ? 1 : 0;
        b.is_null = &nullen[static_cast<std::size_t>(i)];
        void* daten = const_cast<void*>(w.constData());
        switch (w.userType()) {
            case QMetaType::QByteArray:
                texte[static_cast<std::size_t>(i)] = w.toByteArray();
                b.buffer_type = MYSQL_TYPE_BLOB;
                b.buffer = texte[static_cast<std::size_t>(i)].data();
                b.buffer_length = static_cast<unsigned long>(texte[static_cast<std::size_t>(i)].size());
                break;
            case QMetaType::Int:
            case QMetaType::UInt:
                b.buffer_type = MYSQL_TYPE_LONG;
                b.buffer = daten;
                b.buffer_length = sizeof(int);
                b.is_unsigned = w.userType() != QMetaType::Int;
                break;
            case QMetaType::Bool:
                b.buffer_type = MYSQL_TYPE_TINY;
                b.buffer = daten;
                b.buffer_length = sizeof(bool);
                break;
            case QMetaType::Double:
                b.buffer_type = MYSQL_TYPE_DOUBLE;
                b.buffer = daten;
                b.buffer_length = sizeof(double);
                break;
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
                b.buffer_type = MYSQL_TYPE_LONGLONG;
                b.buffer = daten;
                b.buffer_length = sizeof(qint64);
                b.is_unsigned = w.userType() == QMetaType::ULongLong;
                break;
            default:
                texte[static_cast<std::size_t>(i)] = w.toString().toUtf8();
                b.buffer_type = MYSQL_TYPE_STRING;
                b.buffer = texte[static_cast<std::size_t>(i)].data();
                b.buffer_length = static_cast<unsigned long>(texte[static_cast<std::size_t>(i)].size());
                break;
        }
    }
    if (anzahl > 0 && mysql_stmt_bind_param(s, werteBind.data()) != 0) {
        fehlerLesen(s, fehler);
        return false;
    }
    if (mysql_stmt_execute(s) != 0) {
        fehlerLesen(s, fehler);
        return false;
    }
    const unsigned int spalten = mysql_stmt_field_count(s);
    *abfrage = spalten > 0;
    if (spalten == 0) {
        *geaendert = static_cast<int>(mysql_stmt_affected_rows(s));
        return true;
    }
    *geaendert = 0;
    // The columns as the server describes them for this run (a table changed since the
    // statement was prepared may have more or fewer).
    MYSQL_RES* meta = mysql_stmt_result_metadata(s);
    if (!meta) {
        fehlerLesen(s, fehler);
        mysql_stmt_free_result(s);
        return false;
    }
    const MYSQL_FIELD* felder = mysql_fetch_fields(meta);
    std::vector<Spalte> spalte(spalten);
    std::vector<MYSQL_BIND> zeileBind(spalten);
    bool alleLesbar = true;
    for (unsigned int c = 0; c < spalten; ++c) {
        const MYSQL_FIELD& f = felder[c];
        alleLesbar = alleLesbar && lesbar(f);
        Spalte& sp = spalte[c];
        sp.typ = typ(f);
        sp.art = f.type;
        MYSQL_BIND& b = zeileBind[c];
        std::memset(&b, 0, sizeof b);
        b.buffer_type = f.type;
        if (ganzzahl(f.type)) {
            sp.puffer.assign(8, 0);
            b.is_unsigned = (f.flags & UNSIGNED_FLAG) ? 1 : 0;
        } else if (datum(f.type)) {
            sp.puffer.assign(sizeof(MYSQL_TIME), 0);
        } else if (blob(f.type)) {
            // Read in full below when longer, once its length is known.
            b.buffer_type = f.type;
            sp.puffer.assign(1, 0);
        } else {
            b.buffer_type = MYSQL_TYPE_STRING;
            sp.puffer.assign(std::min<unsigned long>(f.length, 65535) + 1, 0);
        }
        b.buffer = sp.puffer.empty() ? nullptr : sp.puffer.data();
        b.buffer_length = static_cast<unsigned long>(sp.puffer.size());
        b.length = &sp.laenge;
        b.is_null = &sp.null;
        b.error = &sp.abgeschnitten;
        zeilen->columns.append(QString::fromUtf8(f.name));
    }
    mysql_free_result(meta);
    const auto scheitern = [&] {
        fehlerLesen(s, fehler);
        mysql_stmt_free_result(s);
        zeilen->rows.clear();
        return false;
    };
    if (!alleLesbar) {
        mysql_stmt_free_result(s);
        fehler->code = 0;
        fehler->text.clear();
        return false;
    }
    if (mysql_stmt_bind_result(s, zeileBind.data()) != 0 || mysql_stmt_store_result(s) != 0) {
        return scheitern();
    }
    for (;;) {
        const int rc = mysql_stmt_fetch(s);
        if (rc == MYSQL_NO_DATA) {
            break;
        }
        if (rc != 0 && rc != MYSQL_DATA_TRUNCATED) {
            return scheitern();
        }
        QVariantList zeile;
        zeile.reserve(spalten);
        for (unsigned int c = 0; c < spalten; ++c) {
            Spalte& sp = spalte[c];
            // A text longer than the column's buffer (or any blob) is read again whole.
            if (!sp.null && sp.laenge > sp.puffer.size()) {
                std::vector<char> ganz(sp.laenge + 1, 0);
                MYSQL_BIND b;
                std::memset(&b, 0, sizeof b);
                b.buffer_type = zeileBind[c].buffer_type;
                b.buffer = ganz.data();
                b.buffer_length = static_cast<unsigned long>(ganz.size());
                unsigned long laenge = 0;
                b.length = &laenge;
                if (mysql_stmt_fetch_column(s, &b, c, 0) != 0) {
                    return scheitern();
                }
                Spalte ganzeSpalte;
                ganzeSpalte.typ = sp.typ;
                ganzeSpalte.art = sp.art;
                ganzeSpalte.puffer = std::move(ganz);
                ganzeSpalte.laenge = laenge;
                zeile.emplaceBack(wert(ganzeSpalte));
                continue;
            }
            zeile.emplaceBack(wert(sp));
        }
        zeilen->rows.push_back(std::move(zeile));
    }
    mysql_stmt_free_result(s);
    return true;
}

}  // namespace mariadbdirekt
