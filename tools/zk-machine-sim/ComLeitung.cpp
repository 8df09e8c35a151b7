#include "ComLeitung.h"

#include <QThread>

ComLeitung::ComLeitung(const QString& port, const Leitungseinstellung& einstellung)
    : name_(port), einstellung_(einstellung) {
    connect(&port_, &QSerialPort::readyRead, this, [this] { emit empfangen(port_.readAll()); });
    connect(&port_, &QSerialPort::errorOccurred, this, &ComLeitung::portFehler);
}

QString ComLeitung::oeffnen() {
    port_.setPortName(name_);
    if (!port_.open(QIODevice::ReadWrite)) {
        switch (port_.error()) {
            case QSerialPort::DeviceNotFoundError:
                fehler_ = QStringLiteral("COM-Schnittstelle %1 gibt es nicht").arg(name_);
                break;
            case QSerialPort::PermissionError:
                fehler_ = QStringLiteral(
                              "COM-Schnittstelle %1 ist belegt (ein anderes Programm "
                              "hat sie offen)")
                              .arg(name_);
                break;
            default:
                fehler_ = QStringLiteral("COM-Schnittstelle %1 kann nicht geöffnet werden (%2)")
                              .arg(name_, port_.errorString());
        }
        return {};
    }
    const bool gesetzt =
        port_.setBaudRate(einstellung_.baud) &&
        port_.setParity(einstellung_.paritaet == 'E'   ? QSerialPort::EvenParity
                        : einstellung_.paritaet == 'O' ? QSerialPort::OddParity
                                                       : QSerialPort::NoParity) &&
        port_.setDataBits(static_cast<QSerialPort::DataBits>(einstellung_.datenbits)) &&
        port_.setStopBits(einstellung_.stoppbits == 2 ? QSerialPort::TwoStop
                                                      : QSerialPort::OneStop) &&
        port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!gesetzt) {
        fehler_ = QStringLiteral("COM-Schnittstelle %1 nimmt die Einstellung %2 nicht an")
                      .arg(name_, einstellung_.text());
        port_.close();
        return {};
    }
    return name_;
}

void ComLeitung::schreiben(const QByteArray& bytes) {
    if (port_.isOpen()) {
        port_.write(bytes);
    }
}

void ComLeitung::ziehen() {
    if (!port_.isOpen()) {
        return;
    }
    port_.waitForBytesWritten(1000);
    QThread::msleep(100);  // let the program read what was sent before the line goes
    port_.close();
}

// A port whose adapter went away reports errors on every turn: it is closed at the first.
void ComLeitung::portFehler(QSerialPort::SerialPortError e) {
    if (e != QSerialPort::ResourceError && e != QSerialPort::ReadError &&
        e != QSerialPort::WriteError) {
        return;
    }
    if (!port_.isOpen()) {
        return;
    }
    fehler_ = QStringLiteral("COM-Schnittstelle %1 ist weg (%2)").arg(name_, port_.errorString());
    port_.close();
    emit verloren();
}
