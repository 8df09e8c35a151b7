#include "maintenance/Seitenmodell.h"

#include <QDateTime>

#include "core/Zeilenbund.h"
#include "platform/Clock.h"
#include "reports/Feldeingabe.h"

namespace {

constexpr int kHoechstensSeiten = 64;  // about 13,000 rows kept; others are read again

QString name(const QString& bezeichner) {
    return u'"' + QString(bezeichner).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

bool ist(const QString& a, const char* b) {
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

}  // namespace

// Changes of results and members are logged; the log itself is only read.
bool Seitenmodell::protokolliert() const {
    return ist(tabelle_, "Ergebnis") || ist(tabelle_, "Einzelergebnisse") ||
           ist(tabelle_, "Mitglieder");
}

bool Seitenmodell::nurLesen() const {
    return ist(tabelle_, "Aenderungen");
}

aenderungen::Eintrag Seitenmodell::eintrag(const QVariantList& zeile, const QString& feld,
                                           const QString& alt, const QString& neu,
                                           const QString& anlass) const {
    const auto spalte = [&](const char* n) {
        const int i = static_cast<int>(spalten_.indexOf(QLatin1String(n), 0));
        return i >= 0 && i + 1 < zeile.size() ? zeile[i + 1] : QVariant();
    };
    const bool mitglied = ist(tabelle_, "Mitglieder");
    return {tabelle_,
            mitglied ? spalte("Nr") : spalte("MitglNr"),
            mitglied ? QString() : spalte("Datum").toString().left(10),
            feld,
            alt,
            neu,
            anlass};
}

// A shot's field is logged as F4 logs changed shots, naming the shot:
// "Schuss 7: Ring 10 → 5".
aenderungen::Eintrag Seitenmodell::schussEintrag(const QVariantList& zeile, const QString& feld,
                                                 const QVariant& alt, const QVariant& neu) const {
    const QString anlass = QStringLiteral("Tabellenansicht");
    const int i = static_cast<int>(spalten_.indexOf(QLatin1String("Schuss"), 0));
    const QVariant schuss = i >= 0 && i + 1 < zeile.size() ? zeile[i + 1] : QVariant();
    if (!ist(tabelle_, "Einzelergebnisse") || schuss.isNull()) {
        return eintrag(zeile, feld, aenderungen::text(alt), aenderungen::text(neu), anlass);
    }
    const QString leer = QStringLiteral("–");
    const QString vorher = alt.isNull() ? leer : aenderungen::text(alt);
    const QString nachher = neu.isNull() ? leer : aenderungen::text(neu);
    const QString text = ist(feld, "Schuss")
                             ? QStringLiteral("Schuss %1 → %2").arg(vorher, nachher)
                             : QStringLiteral("Schuss %1: %2 %3 → %4")
                                   .arg(aenderungen::text(schuss), feld, vorher, nachher);
    return eintrag(zeile, QStringLiteral("Schüsse"), QString(), text, anlass);
}

Seitenmodell::Seitenmodell(const Clock& uhr, QObject* parent)
    : QAbstractTableModel(parent), uhr_(uhr) {}

void Seitenmodell::setQuelle(Database* db, const QString& tabelle, const QString& sql) {
    // Everything is asked first: a statement the engine refuses changes nothing shown.
    const int anzahl =
        db->run(QStringLiteral("SELECT count(*) FROM (") + sql + QStringLiteral(") AS q"))
            .rows[0][0]
            .toInt();
    SqlRows erste = db->run(sql + QStringLiteral(" LIMIT %1").arg(kSeite));
    QStringList spalten = erste.columns.mid(1);
    QStringList typen;
    const std::vector<ColumnInfo> info = db->columns(tabelle);
    for (const QString& s : spalten) {
        QString typ;
        for (const ColumnInfo& c : info) {
            if (c.name.compare(s, Qt::CaseInsensitive) == 0) {
                typ = c.declaredType.toUpper();
            }
        }
        typen << typ;
    }
    beginResetModel();
    db_ = db;
    tabelle_ = tabelle;
    sql_ = sql;
    spalten_ = std::move(spalten);
    typen_ = std::move(typen);
    anzahl_ = anzahl;
    seiten_.clear();
    seiten_.insert(0, std::move(erste.rows));
    geleseneSeiten_ = 1;
    endResetModel();
}

void Seitenmodell::leeren() {
    beginResetModel();
    db_ = nullptr;
    tabelle_.clear();
    sql_.clear();
    spalten_.clear();
    typen_.clear();
    anzahl_ = 0;
    seiten_.clear();
    endResetModel();
}

void Seitenmodell::neuLesen() {
    if (db_) {
        setQuelle(db_, tabelle_, sql_);
    }
}

const QVariantList* Seitenmodell::zeile(int z) const {
    if (!db_ || z < 0 || z >= anzahl_) {
        return nullptr;
    }
    const int seite = z / kSeite;
    auto it = seiten_.find(seite);
    if (it == seiten_.end()) {
        if (seiten_.size() >= kHoechstensSeiten) {
            seiten_.clear();
        }
        std::vector<QVariantList> zeilen;
        try {
            zeilen = db_->run(sql_ + QStringLiteral(" LIMIT %1 OFFSET %2")
                                         .arg(kSeite)
                                         .arg(static_cast<qint64>(seite) * kSeite))
                         .rows;
        } catch (const DatabaseError&) {
            // Shown empty; the next edit or search reports what is wrong.
        }
        ++geleseneSeiten_;
        it = seiten_.insert(seite, std::move(zeilen));
    }
    const auto i = static_cast<std::size_t>(z % kSeite);
    return i < it->size() ? &(*it)[i] : nullptr;
}

QVariant Seitenmodell::wert(int z, int spalte) const {
    const QVariantList* r = zeile(z);
    return r && spalte >= 0 && spalte + 1 < r->size() ? r->at(spalte + 1) : QVariant();
}

int Seitenmodell::alleLoeschen() {
    if (!db_) {
        return 0;
    }
    if (nurLesen()) {
        throw DatabaseError(QStringLiteral("Das Änderungsprotokoll wird nicht verändert."));
    }
    int geloescht = 0;
    if (ist(tabelle_, "Ergebnis")) {
        // A result goes with its shots.
        Transaction t(*db_);
        QVariantList schluessel;
        for (const QVariantList& z : db_->run(sql_).rows) {
            schluessel << z.value(0);
        }
        geloescht = zeilenbund::ergebnisseLoeschen(*db_, schluessel, QStringLiteral("Gelöscht"),
                                                   uhr_.now());
        t.commit();
    } else {
        Transaction t(*db_);
        if (protokolliert()) {
            std::vector<aenderungen::Eintrag> log;
            for (const QVariantList& z : db_->run(sql_).rows) {
                log.push_back(eintrag(z, QStringLiteral("*"),
                                      aenderungen::zeile(spalten_, z.mid(1)), QString(),
                                      QStringLiteral("Gelöscht")));
            }
            aenderungen::schreiben(*db_, log, uhr_.now());
        }
        db_->run(QStringLiteral("DELETE FROM %1 WHERE rowid IN (SELECT zk_rowid FROM (%2) AS q)")
                     .arg(name(tabelle_), sql_));
        geloescht = db_->changedRows();
        t.commit();
    }
    neuLesen();
    return geloescht;
}

int Seitenmodell::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : anzahl_;
}

int Seitenmodell::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(spalten_.size());
}

QVariant Seitenmodell::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    return feldAnzeige(wert(index.row(), index.column()), typen_.value(index.column()),
                       spalten_.value(index.column()));
}

bool Seitenmodell::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !db_) {
        return false;
    }
    const QVariantList* r = zeile(index.row());
    if (!r || r->isEmpty()) {
        return false;
    }
    QString grund;
    const QVariant v = feldwertAusEingabe(value, typen_.value(index.column()), &grund);
    if (nurLesen()) {
        grund = QStringLiteral("Das Änderungsprotokoll wird nicht verändert.");
    }
    // The member number is required and unique here as in the members window.
    const QString feld = spalten_.value(index.column());
    const bool nummer = ist(tabelle_, "Mitglieder") && ist(feld, "Nr");
    // What names an evening moves its rows with it, or is refused.
    const bool abendSchluessel =
        ist(tabelle_, "Ergebnis") && (ist(feld, "MitglNr") || ist(feld, "Datum"));
    if (grund.isEmpty() && nummer && v.isNull()) {
        grund = mitgliedsnummerFehlt();
    } else if (grund.isEmpty() && ist(tabelle_, "Einzelergebnisse") &&
               (ist(feld, "MitglNr") || ist(feld, "Datum"))) {
        grund = QStringLiteral(
            "Ein Schuss gehört zu seinem Abend. Nummer und Datum eines Abends werden in der "
            "Tabelle Ergebnis geändert; seine Schüsse gehen dann mit.");
    }
    if (grund.isEmpty()) {
        const QVariant alt = r->value(index.column() + 1);
        const QVariantList vorher = *r;
        try {
            // The edit and its line in the log, together or not at all.
            Transaction t(*db_);
            if (nummer) {
                grund = zeilenbund::mitgliedsnummerAendern(*db_, vorher.at(0), alt, v,
                                                           QStringLiteral("Tabellenansicht"),
                                                           uhr_.now());
            } else if (abendSchluessel) {
                grund = zeilenbund::ergebnisVerschieben(*db_, vorher.at(0), feld, v,
                                                        QStringLiteral("Tabellenansicht"),
                                                        uhr_.now());
            } else {
                const aenderungen::Eintrag log = schussEintrag(vorher, feld, alt, v);
                zeilenbund::feldAendern(*db_, tabelle_, vorher.at(0), feld, alt, v,
                                        protokolliert() ? &log : nullptr, uhr_.now());
            }
            if (grund.isEmpty()) {
                t.commit();
            }
        } catch (const DatabaseError& e) {
            grund = e.message();
        }
    }
    if (!grund.isEmpty()) {
        emit abgelehnt(grund);
        return false;
    }
    // The page is read again: the row shows what the file now holds.
    seiten_.remove(index.row() / kSeite);
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    return true;
}

Qt::ItemFlags Seitenmodell::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return nurLesen() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled
                      : Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

QVariant Seitenmodell::headerData(int section, Qt::Orientation o, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    return o == Qt::Horizontal ? QVariant(spalten_.value(section)) : QVariant(section + 1);
}
