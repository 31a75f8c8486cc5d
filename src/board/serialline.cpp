#include "serialline.h"

SerialLine::SerialLine(QObject *parent) : QObject(parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, &SerialLine::readAvailable);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialLine::onErrorOccurred);
}

bool SerialLine::open(const QString &path, QString *errorMessage)
{
    m_port.setPortName(path);
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    // Only listening: the board never answers the panel.
    if (m_port.open(QIODevice::ReadOnly))
        return true;
    if (errorMessage) {
        *errorMessage =
            tr("Cannot open the serial device %1: %2.").arg(path, m_port.errorString());
    }
    m_port.clearError();
    return false;
}

void SerialLine::readAvailable() { Q_EMIT bytesArrived(m_port.readAll()); }

void SerialLine::onErrorOccurred(QSerialPort::SerialPortError error)
{
    // Only a lost device ends the line; the others are passing or come with open().
    if (error != QSerialPort::ResourceError || !m_port.isOpen())
        return;
    const QString message =
        tr("The serial device %1 is gone: %2.").arg(m_port.portName(), m_port.errorString());
    m_port.close();
    Q_EMIT failed(message);
}
