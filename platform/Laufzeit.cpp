#include "platform/Laufzeit.h"

#include <QByteArray>
#include <QtGlobal>

void laufzeitEinrichten() {
#ifdef Q_OS_WIN
    // With MinGW's thread-local storage, the JIT stack that Qt keeps for regular expressions
    // in each thread is freed after the storage it lives in. Ending such a thread then
    // crashes inside the threading library while it holds its key lock, and the program
    // hangs at its very end, before the process goes away. Without the JIT nothing is kept
    // per thread; the expressions this program matches are short.
    if (!qEnvironmentVariableIsSet("QT_ENABLE_REGEXP_JIT")) {
        qputenv("QT_ENABLE_REGEXP_JIT", "0");
    }
#endif
}
