#pragma once

#include <QString>

#include <functional>

// Where the panel's handlers send what went wrong. fatal ends the program after the
// message (the port or the scene file failed); warning lets it carry on. The program
// passes the real message boxes; a test passes its own recorder.
struct ErrorReport
{
    std::function<void(const QString &message)> fatal;
    std::function<void(const QString &message)> warning;

    // The message on stderr and in a message box; fatal then exits with status 1.
    static ErrorReport messageBoxes();
    static void showFatal(const QString &message);
    static void showWarning(const QString &message);
};
