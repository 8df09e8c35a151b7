#pragma once

#include <QPushButton>

// A button with its control name (the name the windows' controls are found by).
inline QPushButton* knopf(QWidget* eltern, const QString& name, const QString& text) {
    auto* b = new QPushButton(text, eltern);
    b->setObjectName(name);
    return b;
}
