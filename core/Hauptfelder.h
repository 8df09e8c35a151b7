#pragma once

#include <QString>

// The main window's fields that other windows read: the evening dates, the season and the
// member shown.
class Hauptfelder {
  public:
    virtual ~Hauptfelder() = default;
    virtual QString heuteText() const = 0;  // Heute
    virtual QString nTagText() const = 0;   // NTag
    virtual QString saisonText() const = 0;
    virtual QString sNameText() const = 0;
    virtual QString sNummerText() const = 0;
};
