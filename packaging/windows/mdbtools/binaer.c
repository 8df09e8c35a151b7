/* Linked into each mdbtools program on Windows: standard output and error in binary mode,
 * so that a line ends in LF as on Linux and a CR LF inside a field reaches the reader as it
 * is in the file (text mode would turn every LF into CR LF). */
#include <fcntl.h>
#include <io.h>
#include <stdio.h>

__attribute__((constructor)) static void binaer(void) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}
