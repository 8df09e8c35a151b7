#include "reports/ui/ZeilenModell.h"

#include "core/Zahlen.h"
#include "reports/Druckwerte.h"

void ZeilenModell::setZeilen(SqlRows zeilen, bool verborgeneErste, QStringList jaNein) {
    beginResetModel();
    zeilen_ = std::move(zeilen);
    jaNein_ = std::move(jaNein);
    versatz_ = verborgeneErste ? 1 : 0;
    endResetModel();
}

QVariant ZeilenModell::schluessel(int zeile) const {
    if (versatz_ == 0 || zeile < 0 || static_cast<std::size_t>(zeile) >= zeilen_.size()) {
        return {};
    }
    return zeilen_.rows[static_cast<std::size_t>(zeile)].value(0);
}

int ZeilenModell::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(zeilen_.size());
}

int ZeilenModell::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(0, static_cast<int>(zeilen_.columns.size()) - versatz_);
}

QVariant ZeilenModell::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= zeilen_.size()) {
        return {};
    }
    const QVariant wert =
        zeilen_.rows[static_cast<std::size_t>(index.row())].value(index.column() + versatz_);
    if (role == Qt::TextAlignmentRole) {
        return wert.typeId() == QMetaType::QString ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role == Qt::ToolTipRole && wert.typeId() == QMetaType::QString &&
        wert.toString().size() > 30) {
        return wert.toString();  // a long text cut in its cell
    }
    if (role != Qt::DisplayRole || wert.isNull()) {
        return {};
    }
    const QString spalte = zeilen_.columns.value(index.column() + versatz_);
    // Yes/no fields in words; a Teiler of 0 or 9999 is none (rings typed by hand).
    if (jaNein_.contains(spalte, Qt::CaseInsensitive)) {
        return wert.toInt() != 0 ? QStringLiteral("Ja") : QStringLiteral("Nein");
    }
    if (spalte == QLatin1String("Teiler") && (wert.toDouble() <= 0 || wert.toDouble() >= 9999)) {
        return QString();
    }
    // Dates and times (the log's) as the short date, numbers with the decimal comma.
    if (wert.typeId() == QMetaType::QString) {
        const QString text = wert.toString();
        if (text.size() == 19 && text[10] == u' ') {
            const QString tag = druck::kurzesDatum(text.left(10));
            return tag == text.left(10) ? text : tag + text.mid(10);
        }
        return text.size() == 10 ? druck::kurzesDatum(text) : text;
    }
    if (wert.typeId() == QMetaType::Double) {
        return zahlText(wert.toDouble(), 7);
    }
    return wert;
}

QVariant ZeilenModell::headerData(int section, Qt::Orientation o, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (o == Qt::Vertical) {
        return section + 1;
    }
    // The field keeps its old spelling; the heading is written as a reader expects.
    const QString spalte = zeilen_.columns.value(section + versatz_);
    return spalte == QLatin1String("Gesammt") ? QStringLiteral("Gesamt") : spalte;
}
