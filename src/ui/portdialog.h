#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>

class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class SerialLink;

// Where the operator points the panel at the board's serial port when it has none it can
// open: the ports the system knows, with what each one is, kept current as adapters come
// and go, and a path for any other device (a virtual board's pseudo-terminal, a link).
// It stays up, saying why the last try failed, until a port opens or the operator gives up.
class PortDialog : public QDialog
{
    Q_OBJECT

public:
    // why: the reason the last port did not open; empty when the operator asked to choose.
    PortDialog(SerialLink &link, const QString &lastTried, const QString &why,
               QWidget *parent = nullptr);

    // The device that opened, as chosen.
    QString openedPort() const { return m_opened; }

private:
    void refresh();
    void onRowChosen(QTreeWidgetItem *item);
    void tryOpen();
    void showProblem(const QString &message);

    SerialLink &m_link;
    QLabel *m_problem = nullptr;
    QTreeWidget *m_ports = nullptr;
    QLineEdit *m_path = nullptr;
    QTimer m_refresh;
    QStringList m_listed;
    QString m_opened;
};
