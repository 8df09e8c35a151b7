#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>

#include <vector>

#include "core/Aenderungen.h"
#include "platform/Database.h"

class Clock;

// The rows of a record source for an editable grid, read a page at a time as the grid
// shows them: a table of tens of thousands of rows opens at once. Every edit is written
// to the table at once; a value the field cannot take is refused with a German reason and
// the old value stays.
class Seitenmodell : public QAbstractTableModel {
    Q_OBJECT
  public:
    static constexpr int kSeite = 200;

    // `uhr` dates the rows of the log of corrections.
    explicit Seitenmodell(const Clock& uhr, QObject* parent = nullptr);

    // Shows the rows of `sql` (the engine's SQL, row identity "zk_rowid" first) of table
    // `tabelle`. On a failure the rows shown before stay and DatabaseError is thrown.
    void setQuelle(Database* db, const QString& tabelle, const QString& sql);
    // Shows nothing (no database open).
    void leeren();
    // Reads the same source again.
    void neuLesen();

    const QStringList& spalten() const { return spalten_; }
    QVariant wert(int zeile, int spalte) const;
    // Deletes every row of the source in one transaction; throws DatabaseError and then
    // leaves every row.
    int alleLoeschen();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    // Pages read since the source was set (to see that rows come as they are shown).
    int geleseneSeiten() const { return geleseneSeiten_; }

  signals:
    void abgelehnt(const QString& grund);

  private:
    const QVariantList* zeile(int z) const;
    bool protokolliert() const;
    bool nurLesen() const;
    aenderungen::Eintrag eintrag(const QVariantList& zeile, const QString& feld, const QString& alt,
                                 const QString& neu, const QString& anlass) const;
    aenderungen::Eintrag schussEintrag(const QVariantList& zeile, const QString& feld,
                                       const QVariant& alt, const QVariant& neu) const;

    const Clock& uhr_;
    Database* db_ = nullptr;
    QString tabelle_;
    QString sql_;
    QStringList spalten_;
    QStringList typen_;
    int anzahl_ = 0;
    mutable QHash<int, std::vector<QVariantList>> seiten_;
    mutable int geleseneSeiten_ = 0;
};
