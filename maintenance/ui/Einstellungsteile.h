#pragma once

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "platform/widgets/Bedienelemente.h"

// Small pieces the settings window's groups are built from.

inline QRadioButton* option(QWidget* eltern, QButtonGroup* gruppe, const QString& name,
                            const QString& text) {
    QRadioButton* o = option(eltern, name, text);
    gruppe->addButton(o);
    return o;
}

inline QLineEdit* feld(QWidget* eltern, const QString& name) {
    auto* e = new QLineEdit(eltern);
    e->setObjectName(name);
    return e;
}

inline QComboBox* liste(QWidget* eltern, const QString& name) {
    auto* c = new QComboBox(eltern);
    c->setObjectName(name);
    c->setEditable(true);  // a stored value outside the list is shown as it is
    c->setInsertPolicy(QComboBox::NoInsert);
    return c;
}

// No option of the group chosen, without writing anything.
inline void keineWahl(QButtonGroup* g) {
    g->setExclusive(false);
    for (QAbstractButton* b : g->buttons()) {
        const QSignalBlocker sperre(b);
        b->setChecked(false);
    }
    g->setExclusive(true);
}
