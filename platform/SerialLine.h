#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The serial line to the ring-reading machine. Protocol code talks to this interface only;
// it never opens a port itself.
class SerialLine : public QObject {
    Q_OBJECT
  public:
    enum class Pegel { Aus, Ein, Unbekannt };  // a pty cannot report DSR: Unbekannt

    using QObject::QObject;
    ~SerialLine() override = default;

    // Port number 1..4 and settings such as "9600,N,8,1". False with a German reason.
    virtual bool open(int port, const QString& settings, QString* error) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual bool setSettings(const QString& settings) = 0;
    virtual int port() const = 0;
    // Where port n leads on this system ("COM1", "/dev/ttyUSB0", ...).
    virtual QString deviceOf(int port) const = 0;

    virtual void write(const QByteArray& bytes) = 0;
    virtual QByteArray readAll() = 0;
    virtual qint64 bytesWaiting() = 0;

    virtual void setDtr(bool on) = 0;
    virtual void setRts(bool on) = 0;
    virtual Pegel dsr() = 0;

  signals:
    void readyRead();
    // The line is gone (adapter pulled, device closed): the port has been closed, the
    // German reason says what happened.
    void getrennt(const QString& grund);
    // Every byte in and out, when someone listens (the debug switch): '<' in, '>' out.
    void verkehr(char richtung, const QByteArray& bytes);
};

// "9600,N,8,1" into its parts; false when the text is not of that form.
struct LineSettings {
    int baud = 9600;
    char parity = 'N';
    int dataBits = 8;
    int stopBits = 1;
};
bool parseLineSettings(const QString& text, LineSettings* out);
