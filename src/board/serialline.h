#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

// An existing serial device that the board listens on at the board's line settings,
// 9600 baud 8N1, so that it can monitor a real panel on a real line.
class SerialLine : public QObject
{
    Q_OBJECT

public:
    explicit SerialLine(QObject *parent);

    // False with the device and the reason when it cannot open.
    bool open(const QString &path, QString *errorMessage);

Q_SIGNALS:
    void bytesArrived(const QByteArray &bytes);
    // The device went away, e.g. an adapter was unplugged; nothing more will arrive.
    void failed(const QString &message);

private:
    void readAvailable();
    void onErrorOccurred(QSerialPort::SerialPortError error);

    QSerialPort m_port;
};
