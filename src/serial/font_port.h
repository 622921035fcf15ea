#pragma once
// The font window's serial port, driven by events: `sent` once a command
// has left, `received` once the awaited number of reply bytes is waiting,
// `failed` once the open port fails (the adapter pulled, the device gone).
// It opens the device the main window's port number stands for.
#include <QByteArray>
#include <QObject>
#include <QSerialPort>

#include "protocol/serial_link.h"

namespace tqm5 {

class QtSerialLink;

class FontPort : public QObject {
    Q_OBJECT
public:
    // `devices` maps port numbers to devices (its --device binding included).
    explicit FontPort(const QtSerialLink& devices, QObject* parent = nullptr);
    ~FontPort() override;

    // Opens the device of port `number` at 57600 baud, 8 data bits, no
    // parity, one stop bit, unless it is open; bytes left from before are
    // dropped. Throws PortError.
    void open(int number);
    void close();
    bool isOpen() const { return port_.isOpen(); }
    // Throws PortError. `sent` follows once the bytes have left: from
    // bytesWritten, or right after the completed write where the device
    // does not report it (a pseudo-terminal).
    void write(const Bytes& bytes);
    // `received` comes once `count` bytes are waiting, with all of them.
    void expect(int count);

signals:
    void sent();
    void received(const QByteArray& block);
    // The open port failed between calls; a failing open or write throws
    // instead. The port stays open until close().
    void failed();

private:
    void notifySent();
    void checkInput();
    void portError(QSerialPort::SerialPortError error);

    const QtSerialLink& devices_;
    QSerialPort port_;
    int expected_ = 0;
    bool sentPending_ = false;
    bool failurePending_ = false;
};

}  // namespace tqm5
