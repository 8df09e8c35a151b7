#pragma once

#include <QString>

#include <cstdio>

// Windows: the program is a window program, which gets no console of its own. Started from a
// console window (zielkunst --version, the maintenance options), it writes to that one;
// with its output redirected, it keeps what it was given. Elsewhere nothing to do.
void konsoleAnbinden();

// Writes a line to stdout or stderr: into a Windows console as its characters, whatever
// code page the console has; anywhere else (a file, a pipe, a Linux terminal) as UTF-8.
void konsoleSchreiben(std::FILE* f, const QString& zeile);
