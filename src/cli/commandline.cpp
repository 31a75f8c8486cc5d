#include "commandline.h"

#include <QCoreApplication>

namespace CommandLine {

namespace {

// The texts of the command line, translated under one name.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};

QString helpOf(const QCommandLineParser &parser)
{
    // The parser names the program by the path it was started with, or by a placeholder
    // before there is an application object; the usage names it as it is installed.
    const QStringList arguments = QCoreApplication::instance()
                                      ? QCoreApplication::arguments()
                                      : QStringList{QStringLiteral("<executable_name>")};
    QString text = parser.helpText();
    const qsizetype at = text.indexOf(arguments.value(0));
    if (at >= 0)
        text.replace(at, arguments.value(0).size(), QCoreApplication::applicationName());
    return text;
}

// Every byte that is not printable ASCII as \xHH, so that the operator sees which
// bytes are wrong.
QString escaped(const QByteArray &bytes)
{
    QString text;
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        if (value >= 0x20 && value < 0x7f)
            text += QLatin1Char(byte);
        else
            text += QStringLiteral("\\x%1").arg(value, 2, 16, QLatin1Char('0'));
    }
    return text;
}

} // namespace

Arguments argumentsOf(int argc, char **argv)
{
    Arguments arguments;
    for (int i = 0; i < argc; ++i) {
        const QByteArray bytes(argv[i]);
        const QString text = QString::fromLocal8Bit(bytes);
        if (text.toLocal8Bit() != bytes && arguments.problem.isEmpty()) {
            arguments.problem =
                Texts::tr("The argument \"%1\" is not valid text in the system's encoding, so the "
                          "file or device it names cannot be opened by that name. Rename it, or "
                          "name it through a symbolic link whose path is valid text.")
                    .arg(escaped(bytes));
        }
        arguments.list << text;
    }
    return arguments;
}

Verdict parse(QCommandLineParser &parser, const Arguments &arguments)
{
    // Qt's own help option also offers --help-all, which lists the toolkit's options;
    // they mean nothing before a window exists.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  Texts::tr("Displays help on commandline options."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    if (!parser.parse(arguments.list))
        return usageError(parser, parser.errorText());
    if (!arguments.problem.isEmpty())
        return usageError(parser, arguments.problem);
    if (!parser.positionalArguments().isEmpty()) {
        return usageError(
            parser,
            Texts::tr("Unexpected argument '%1'.").arg(parser.positionalArguments().constFirst()));
    }
    if (parser.isSet(help))
        return {Outcome::ExitOk, helpOf(parser)};
    if (parser.isSet(version)) {
        return {Outcome::ExitOk, QCoreApplication::applicationName() + QLatin1Char(' ') +
                                     QCoreApplication::applicationVersion() + QLatin1Char('\n')};
    }
    return {};
}

Verdict usageError(const QCommandLineParser &parser, const QString &message)
{
    return {Outcome::UsageError, message + QLatin1Char('\n') + helpOf(parser)};
}

int exitWith(const Verdict &verdict)
{
    if (verdict.outcome == Outcome::ExitOk) {
        print(stdout, verdict.output);
        return 0;
    }
    print(stderr, verdict.output);
    return 2;
}

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace CommandLine
