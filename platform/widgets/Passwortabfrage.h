#pragma once

class QWidget;

// Server databases whose password is not in ~/.my.cnf ask the user for it in a window.
void passwortAbfrageEinrichten(QWidget* eltern);
