#pragma once

#include <QByteArray>
#include <QStringList>

#include "platform/SerialLine.h"

// An in-process serial line: what the program writes is recorded, what the test feeds
// arrives as if from the machine, in exactly the pieces the test chooses.
class ScriptedLine : public SerialLine {
    Q_OBJECT
  public:
    using SerialLine::SerialLine;

    bool open(int port, const QString& settings, QString* error) override;
    void close() override { offen_ = false; }
    bool isOpen() const override { return offen_; }
    bool setSettings(const QString& settings) override;
    int port() const override { return port_; }
    QString deviceOf(int port) const override { return QStringLiteral("test%1").arg(port); }

    void write(const QByteArray& bytes) override { gesendet += bytes; }
    QByteArray readAll() override;
    qint64 bytesWaiting() override { return eingang_.size(); }

    void setDtr(bool on) override { dtr = on; }
    void setRts(bool on) override { rts = on; }
    Pegel dsr() override { return dsrPegel; }

    // The machine's side.
    void feed(const QByteArray& bytes, bool melden = true);
    QByteArray nimmGesendet() {
        const QByteArray b = gesendet;
        gesendet.clear();
        return b;
    }

    QByteArray gesendet;
    QStringList einstellungen;  // every settings text, in order
    bool dtr = false;
    bool rts = false;
    bool oeffnenScheitert = false;
    Pegel dsrPegel = Pegel::Unbekannt;

  private:
    QByteArray eingang_;
    bool offen_ = false;
    int port_ = 1;
};
