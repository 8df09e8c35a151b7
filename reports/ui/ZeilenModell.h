#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include "platform/Database.h"

// The rows of a listing for the grid, headed by the field names. With `verborgeneErste` the
// first column (the row's key) is kept for the window but not shown.
class ZeilenModell : public QAbstractTableModel {
    Q_OBJECT
  public:
    using QAbstractTableModel::QAbstractTableModel;

    // `jaNein` names the yes/no columns, shown as "Ja"/"Nein"; every other column shows
    // its value (a count stays a number).
    void setZeilen(SqlRows zeilen, bool verborgeneErste, QStringList jaNein = {});
    const SqlRows& zeilen() const { return zeilen_; }
    QVariant schluessel(int zeile) const;  // the hidden first column

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

  private:
    SqlRows zeilen_;
    int versatz_ = 0;
    QStringList jaNein_;
};
