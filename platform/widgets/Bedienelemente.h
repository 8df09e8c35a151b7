#pragma once

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

// Controls made with their control name (the name tests and the harness find them by),
// and what a key press means to a field. Every window builds its controls from these.

inline QPushButton* knopf(QWidget* eltern, const QString& name, const QString& text) {
    auto* b = new QPushButton(text, eltern);
    b->setObjectName(name);
    return b;
}

inline QRadioButton* option(QWidget* eltern, const QString& name, const QString& text) {
    auto* o = new QRadioButton(text, eltern);
    o->setObjectName(name);
    return o;
}

inline QCheckBox* haken(QWidget* eltern, const QString& name, const QString& text) {
    auto* c = new QCheckBox(text, eltern);
    c->setObjectName(name);
    return c;
}

// A field a result is shown in: as wide as given, the number to the right.
inline QLineEdit* ausgabefeld(QWidget* eltern, const QString& name, int breite) {
    auto* e = new QLineEdit(eltern);
    e->setObjectName(name);
    e->setFixedWidth(breite);
    e->setAlignment(Qt::AlignRight);
    return e;
}

// The key types a printable character (not a shortcut with Ctrl, Alt or Meta).
inline bool istZeichen(const QKeyEvent* e) {
    const QString t = e->text();
    return !t.isEmpty() && t[0].isPrint() &&
           !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

// The key types one digit.
inline bool istZiffer(const QKeyEvent* e) {
    return e->text().size() == 1 && e->text()[0] >= u'0' && e->text()[0] <= u'9';
}
