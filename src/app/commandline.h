#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>

// What both programs need before there is a QCoreApplication: their arguments as text,
// and a message written and flushed at once.
namespace CommandLine {

inline QStringList argumentsOf(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

inline void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace CommandLine
