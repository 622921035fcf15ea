#pragma once
// The serial link on a real port, through QSerialPort.
#include <QSerialPort>
#include <QString>
#include <QStringList>

#include "protocol/serial_link.h"

namespace tqm5 {

// The devices that the port numbers 1 to 16 stand for on this machine, USB
// adapters first, each group in name order.
QStringList portDevices();

// Whether an error a serial port reports means the port failed (gone,
// taken, unreadable, unwritable or failing in a way the system does not
// name), rather than a wait that timed out or a call that was refused and
// reports that itself.
bool portFailure(QSerialPort::SerialPortError error);

class QtSerialLink : public SerialLink {
public:
    QtSerialLink();
    // Binds one port number to a device path for this run (--device). A
    // relative path that names a file in the working folder means that file;
    // any other bare name is a device in /dev ("ttyUSB0").
    void bindDevice(int number, const QString& path);
    QString deviceFor(int number) const;
    // The devices of port numbers 1 to 16 (index 0 to 15, empty where none),
    // from one look at the system's ports.
    QStringList devicesByNumber() const;

    void setSettings(const std::string& settings) override;
    void setPortNumber(int number) override;
    void open() override;
    void close() override;
    bool isOpen() const override;
    void write(const Bytes& bytes) override;
    int bytesAvailable() override;
    Bytes readAll() override;
    void clearInput() override;
    void waitForInput(int ms) override;
    std::string deviceOf(int number) const override { return deviceFor(number).toStdString(); }

private:
    void throwIfBroken();
    QSerialPort port_;
    int boundNumber_ = 0;
    QString boundPath_;
    int number_ = 1;
    qint32 baud_ = 57600;
};

}  // namespace tqm5
