#include "errorreport.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

namespace {

QString title() { return QStringLiteral("dimmer-panel"); }

void printToStderr(const QString &message)
{
    std::fprintf(stderr, "dimmer-panel: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
}

} // namespace

ErrorReport ErrorReport::messageBoxes()
{
    return {&ErrorReport::showFatal, &ErrorReport::showWarning};
}

void ErrorReport::showFatal(const QString &message)
{
    printToStderr(message);
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        QMessageBox::critical(nullptr, title(), message);
    // The panel does not carry on after its port or its scene file failed.
    std::exit(1);
}

void ErrorReport::showWarning(const QString &message)
{
    printToStderr(message);
    QMessageBox::warning(QApplication::activeWindow(), title(), message);
}
