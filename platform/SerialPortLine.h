#pragma once

#include <memory>

#include "platform/SerialLine.h"

class QSerialPort;

// The real serial line over QSerialPort.
//
// Port n is COMn on Windows. Elsewhere it is the device named by the file "COMn" in the
// program's configuration folder (a symbolic link to the device, or a text file holding its
// path), so port 1 can lead to /dev/ttyUSB0 or to the simulator's pseudo-terminal;
// without such a file port n is /dev/ttyS(n-1).
class SerialPortLine : public SerialLine {
    Q_OBJECT
  public:
    explicit SerialPortLine(QObject* parent = nullptr);
    ~SerialPortLine() override;

    bool open(int port, const QString& settings, QString* error) override;
    void close() override;
    bool isOpen() const override;
    bool setSettings(const QString& settings) override;
    int port() const override { return port_; }
    QString deviceOf(int port) const override;

    void write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    qint64 bytesWaiting() override;

    void setDtr(bool on) override;
    void setRts(bool on) override;
    Pegel dsr() override;

    // The file that maps port n on this system (empty on Windows).
    static QString mappingFile(int port);

    // What went wrong opening a port, in German, with the usual remedies.
    static QString oeffnenFehlerText(int port, const QString& device, int fehlerCode,
                                     const QString& treiberText);

  private:
    void fehler(int code);

    std::unique_ptr<QSerialPort> port_impl_;
    QByteArray nachlass_;  // what had come when the line went away
    int port_ = 1;
};
