#pragma once

// Windows: the program is a window program, which gets no console of its own. Started from a
// console window (zielkunst --version, the maintenance options), it writes to that one;
// with its output redirected, it keeps what it was given. Elsewhere nothing to do.
void konsoleAnbinden();
