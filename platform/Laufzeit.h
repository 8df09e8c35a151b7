#pragma once

// Settings of Qt's run time that must be made before Qt does any work; called first in main.
void laufzeitEinrichten();
