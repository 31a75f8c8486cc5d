#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <cstdio>

// What both programs do with their command line before there is a QCoreApplication: the
// arguments as text, help and version, and a usage error with the usage after it.
namespace CommandLine {

struct Arguments
{
    QStringList list;
    // Why an argument cannot be used: bytes that are no valid text in the system's
    // encoding would turn into another name, and so into another file or device.
    QString problem;
};

Arguments argumentsOf(int argc, char **argv);

enum class Outcome { Run, ExitOk, UsageError };

struct Verdict
{
    Outcome outcome = Outcome::Run;
    QString output; // help or version text (stdout), or the usage error (stderr)
};

// Adds -h/--help and -v/--version, parses, and answers help, version, an unknown option,
// a missing value and a stray argument. The program's name is the application name.
Verdict parse(QCommandLineParser &parser, const Arguments &arguments);
Verdict usageError(const QCommandLineParser &parser, const QString &message);

// Prints a verdict that ends the program and gives its exit status: 0 for help and
// version, 2 for a usage error.
int exitWith(const Verdict &verdict);

// Written and flushed at once.
void print(std::FILE *stream, const QString &text);

} // namespace CommandLine
