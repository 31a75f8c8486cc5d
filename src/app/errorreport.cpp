#include "errorreport.h"

#include "cli/commandline.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QString title() { return QCoreApplication::applicationName(); }

bool hasWindows() { return qobject_cast<QApplication *>(QCoreApplication::instance()); }

// The message names things from outside (a path, a device, the system's words for an error):
// never read as markup, which could load whatever a name points at.
QMessageBox::StandardButton show(QMessageBox::Icon icon, QWidget *parent, const QString &message)
{
    QMessageBox box(icon, title(), message, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    return QMessageBox::StandardButton(box.exec());
}

} // namespace

ErrorReport::ErrorReport(QObject *parent) : QObject(parent) {}

void ErrorReport::print(const QString &message)
{
    CommandLine::print(stderr, title() + QStringLiteral(": ") + message + QLatin1Char('\n'));
}

void ErrorReport::fatal(const QString &message)
{
    // One failure ends the run; what fails after it in the same handler is its echo.
    if (m_ending)
        return;
    m_ending = true;
    print(message);
    // Application-modal: while the operator reads it the panel takes no input.
    if (hasWindows())
        show(QMessageBox::Critical, nullptr, message);
    QCoreApplication::exit(1);
}

void ErrorReport::warning(const QString &message)
{
    print(message);
    QWidget *window = QApplication::activeWindow();
    show(QMessageBox::Warning, window, message);
    // Back to the window the operator was using, which takes clicks only when active.
    if (window)
        window->activateWindow();
}

void ErrorReport::failedToStart(const QString &message)
{
    print(message);
    if (hasWindows())
        show(QMessageBox::Critical, nullptr, message);
}
