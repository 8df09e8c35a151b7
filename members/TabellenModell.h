#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <functional>
#include <vector>

#include "platform/Database.h"

class ClubDatabase;
class Clock;

// Rows of one table of the club database for an editable grid. Every edit is written at
// once; a value the field cannot take is refused with a German reason and the old value
// stays.
class TabellenModell : public QAbstractTableModel {
    Q_OBJECT
  public:
    TabellenModell(ClubDatabase& club, QString tabelle, QStringList spalten,
                   QObject* parent = nullptr);

    // A column whose values must differ from row to row and may not be empty (a member's
    // number); `meldung` names the value with %1, `leer` says why it may not be empty.
    void eindeutig(const QString& spalte, const QString& meldung, const QString& leer) {
        eindeutig_ = spalte;
        eindeutigMeldung_ = meldung;
        leerMeldung_ = leer;
    }

    // Headings for the grid, one a column; the field names show where none is given.
    void setUeberschriften(const QStringList& titel) { ueberschriften_ = titel; }
    // A check of every value before it is written: "" when it may be written, else the
    // German reason.
    void setPruefung(std::function<QString(const QString& spalte, const QVariant& wert)> p) {
        pruefung_ = std::move(p);
    }

    // Edits and deletes of this table go to the log of corrections, the member named by
    // the column `nrSpalte` (the members), dated by `uhr`.
    void protokollieren(const QString& nrSpalte, const Clock& uhr) {
        protokollNr_ = nrSpalte;
        uhr_ = &uhr;
    }

    // Reads the table anew in the given order ("" for the stored order).
    void laden(const QString& ordnung = {});
    const QString& ordnung() const { return ordnung_; }

    QVariant wert(int zeile, const QString& spalte) const;
    // Writes one field: typed text, a number or a yes/no; false with the reason.
    bool setzen(int zeile, const QString& spalte, const QVariant& wert, QString* fehler);
    // A new row with the given values (the other fields empty); its row number, or -1.
    int neu(const QVariantList& werte, QString* fehler);
    bool loeschen(int zeile, QString* fehler);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

  signals:
    void abgelehnt(const QString& grund);

  private:
    QString typ(const QString& spalte) const;
    QVariant mitgliedsnummer(const QVariantList& zeile) const;

    ClubDatabase& club_;
    QString tabelle_;
    QStringList spalten_;
    QString ordnung_;
    std::vector<ColumnInfo> typen_;
    SqlRows zeilen_;  // rowid first, then the columns
    QString eindeutig_;
    QString eindeutigMeldung_;
    QString leerMeldung_;
    QStringList ueberschriften_;
    QString protokollNr_;
    const Clock* uhr_ = nullptr;  // set with protokollNr_
    std::function<QString(const QString&, const QVariant&)> pruefung_;
};
