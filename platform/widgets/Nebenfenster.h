#pragma once

class QWidget;

// A secondary window: Esc closes it as its title bar does (a key a field of the window
// takes for itself, such as Esc while editing a grid cell, stays with the field).
void escSchliesst(QWidget* fenster);
