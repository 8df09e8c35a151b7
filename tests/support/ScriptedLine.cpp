#include "tests/support/ScriptedLine.h"

bool ScriptedLine::open(int port, const QString& settings, QString* error) {
    port_ = port;
    if (oeffnenScheitert) {
        if (error) {
            *error = QStringLiteral(
                         "Die serielle Schnittstelle %1 (test%1) kann nicht geöffnet werden: "
                         "kein Gerät")
                         .arg(port);
        }
        return false;
    }
    einstellungen << settings;
    offen_ = true;
    return true;
}

bool ScriptedLine::setSettings(const QString& settings) {
    einstellungen << settings;
    return true;
}

QByteArray ScriptedLine::readAll() {
    const QByteArray b = eingang_;
    eingang_.clear();
    return b;
}

void ScriptedLine::feed(const QByteArray& bytes, bool melden) {
    eingang_ += bytes;
    if (melden) {
        emit readyRead();
    }
}
