#include "members/TabellenModell.h"

#include <QDate>

#include "core/Aenderungen.h"
#include "core/ClubDatabase.h"
#include "core/Zahlen.h"
#include "core/Zeilenbund.h"
#include "platform/Clock.h"
#include "platform/SqlDialect.h"
#include "reports/Druckwerte.h"
#include "reports/Feldeingabe.h"

TabellenModell::TabellenModell(ClubDatabase& club, QString tabelle, QStringList spalten,
                               QObject* parent)
    : QAbstractTableModel(parent),
      club_(club),
      tabelle_(std::move(tabelle)),
      spalten_(std::move(spalten)) {}

void TabellenModell::laden(const QString& ordnung) {
    ordnung_ = ordnung;
    beginResetModel();
    zeilen_ = SqlRows();
    typen_.clear();
    if (club_.isOpen()) {
        try {
            Database& db = club_.db();
            typen_ = db.columns(tabelle_);
            // Names of tables and fields are the program's own, never typed by a user.
            zeilen_ = db.run(QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY %3")
                                 .arg(spalten_.join(QStringLiteral(", ")), tabelle_,
                                      ordnung.isEmpty() ? QStringLiteral("rowid") : ordnung));
        } catch (const DatabaseError& e) {
            zeilen_ = SqlRows();
            endResetModel();
            emit abgelehnt(e.message());
            return;
        }
    }
    endResetModel();
}

QVariant TabellenModell::mitgliedsnummer(const QVariantList& zeile) const {
    const int i = static_cast<int>(spalten_.indexOf(protokollNr_));
    return i >= 0 ? zeile.value(i + 1) : QVariant();
}

QString TabellenModell::typ(const QString& spalte) const {
    for (const ColumnInfo& c : typen_) {
        if (c.name.compare(spalte, Qt::CaseInsensitive) == 0) {
            return c.declaredType.toUpper();
        }
    }
    return {};
}

QVariant TabellenModell::wert(int zeile, const QString& spalte) const {
    return zeilen_.value(static_cast<std::size_t>(zeile), spalte);
}

bool TabellenModell::setzen(int zeile, const QString& spalte, const QVariant& eingabe,
                            QString* fehler) {
    if (zeile < 0 || zeile >= rowCount() || !spalten_.contains(spalte)) {
        return false;
    }
    QString grund;
    const QVariant v = feldwertAusEingabe(eingabe, typ(spalte), &grund);
    if (grund.isEmpty() && spalte == eindeutig_ && v.isNull()) {
        grund = leerMeldung_;
    }
    if (grund.isEmpty() && pruefung_) {
        grund = pruefung_(spalte, v);
    }
    // A member's number is checked and changed with what hangs on it, as everywhere.
    const bool nummernFeld = !protokollNr_.isEmpty() && spalte == protokollNr_ &&
                                 tabelle_ == QLatin1String("Mitglieder");
    if (grund.isEmpty() && spalte == eindeutig_ && !v.isNull() && !nummernFeld) {
        try {
            const int andere =
                club_.db()
                    .run(QStringLiteral("SELECT count(*) FROM %1 WHERE %2 = ? AND rowid <> ?")
                             .arg(tabelle_, spalte),
                         {v, zeilen_.rows[static_cast<std::size_t>(zeile)][0]})
                    .rows[0][0]
                    .toInt();
            if (andere > 0) {
                grund = eindeutigMeldung_.arg(eingabe.toString().trimmed());
            }
        } catch (const DatabaseError& e) {
            grund = e.message();
        }
    }
    if (grund.isEmpty()) {
        const QVariantList& vorher = zeilen_.rows[static_cast<std::size_t>(zeile)];
        const QVariant alt = vorher.value(static_cast<int>(spalten_.indexOf(spalte)) + 1);
        try {
            // The edit and its line in the log, together or not at all.
            Transaction t(club_.db());
            if (nummernFeld) {
                grund = zeilenbund::mitgliedsnummerAendern(club_.db(), vorher[0], alt, v,
                                                           QStringLiteral("Tabellenansicht"),
                                                           uhr_->now());
            } else {
                const aenderungen::Eintrag log{tabelle_,
                                               mitgliedsnummer(vorher),
                                               QString(),
                                               spalte,
                                               aenderungen::text(alt),
                                               aenderungen::text(v),
                                               QStringLiteral("Tabellenansicht")};
                zeilenbund::feldAendern(club_.db(), tabelle_, vorher[0], spalte, alt, v,
                                        protokollNr_.isEmpty() ? nullptr : &log,
                                        uhr_ ? uhr_->now() : QDateTime());
            }
            if (grund.isEmpty()) {
                t.commit();
            }
        } catch (const DatabaseError& e) {
            grund = e.message();
        }
    }
    if (!grund.isEmpty()) {
        if (fehler) {
            *fehler = grund;
        }
        return false;
    }
    zeilen_.rows[static_cast<std::size_t>(zeile)][static_cast<int>(spalten_.indexOf(spalte)) + 1] =
        v;
    const int c = static_cast<int>(spalten_.indexOf(spalte));
    emit dataChanged(index(zeile, c), index(zeile, c));
    return true;
}

int TabellenModell::neu(const QVariantList& werte, QString* fehler) {
    QStringList namen;
    QStringList platz;
    for (int i = 0; i < werte.size() && i < spalten_.size(); ++i) {
        namen << spalten_[i];
        platz << QStringLiteral("?");
    }
    try {
        Database& db = club_.db();
        db.run(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(tabelle_, namen.join(QStringLiteral(", ")), platz.join(QStringLiteral(", "))),
            werte);
        const QVariant id = db.run(QStringLiteral("SELECT last_insert_rowid()")).rows[0][0];
        laden(ordnung_);
        for (int r = 0; r < rowCount(); ++r) {
            if (zeilen_.rows[static_cast<std::size_t>(r)][0] == id) {
                return r;
            }
        }
    } catch (const DatabaseError& e) {
        if (fehler) {
            *fehler = e.message();
        }
    }
    return -1;
}

bool TabellenModell::loeschen(int zeile, QString* fehler) {
    if (zeile < 0 || zeile >= rowCount()) {
        return false;
    }
    const QVariantList& vorher = zeilen_.rows[static_cast<std::size_t>(zeile)];
    try {
        Transaction t(club_.db());
        const aenderungen::Eintrag log{tabelle_,
                                       mitgliedsnummer(vorher),
                                       QString(),
                                       QStringLiteral("*"),
                                       aenderungen::zeile(spalten_, vorher.mid(1)),
                                       QString(),
                                       QStringLiteral("Gelöscht")};
        zeilenbund::zeileLoeschen(club_.db(), tabelle_, vorher[0],
                                  protokollNr_.isEmpty() ? nullptr : &log,
                                  uhr_ ? uhr_->now() : QDateTime());
        t.commit();
    } catch (const DatabaseError& e) {
        if (fehler) {
            *fehler = e.message();
        }
        return false;
    }
    beginRemoveRows({}, zeile, zeile);
    zeilen_.rows.erase(zeilen_.rows.begin() + zeile);
    endRemoveRows();
    return true;
}

int TabellenModell::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(zeilen_.size());
}

int TabellenModell::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(spalten_.size());
}

QVariant TabellenModell::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    const QString spalte = spalten_.value(index.column());
    return feldAnzeige(wert(index.row(), spalte), typ(spalte), spalte);
}

bool TabellenModell::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) {
        return false;
    }
    QString fehler;
    if (!setzen(index.row(), spalten_.value(index.column()), value, &fehler)) {
        emit abgelehnt(fehler);
        return false;
    }
    return true;
}

Qt::ItemFlags TabellenModell::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable
                           : Qt::NoItemFlags;
}

QVariant TabellenModell::headerData(int section, Qt::Orientation o, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (o == Qt::Horizontal) {
        return section < ueberschriften_.size() ? ueberschriften_[section]
                                                : spalten_.value(section);
    }
    return QVariant(section + 1);
}
