#include "xserver.h"

#include <QDeadlineTimer>
#include <QThread>

#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

XServer::XServer()
{
    // -displayfd picks a free display and tells its number on our pipe. -noreset: by
    // default the server resets when its last client leaves, and refuses the programs
    // that connect during the reset.
    m_server.setProgram(QStringLiteral("Xvfb"));
    m_server.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"),
                           QStringLiteral("-screen"), QStringLiteral("0"),
                           QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                           QStringLiteral("tcp"), QStringLiteral("-noreset")});
    m_server.setProcessChannelMode(QProcess::SeparateChannels);
    m_server.start();
    if (!m_server.waitForStarted(10000)) {
        m_error = QStringLiteral("cannot start Xvfb (install the xvfb package): ") +
                  m_server.errorString();
        return;
    }
    QByteArray answer;
    QDeadlineTimer deadline(20000);
    while (!answer.contains('\n') && !deadline.hasExpired() &&
           m_server.state() == QProcess::Running) {
        m_server.waitForReadyRead(200);
        answer += m_server.readAllStandardOutput();
    }
    const QString number = QString::fromLatin1(answer).trimmed();
    bool numeric = false;
    number.toInt(&numeric);
    if (!numeric) {
        m_error = QStringLiteral("Xvfb told no display: ") +
                  QString::fromLocal8Bit(m_server.readAllStandardError());
        return;
    }
    m_display = QLatin1Char(':') + number;
}

XServer::~XServer()
{
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(5000)) {
            m_server.kill();
            m_server.waitForFinished(5000);
        }
    }
}

QProcessEnvironment XServer::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       m_home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_STATE_HOME"), m_home.filePath(QStringLiteral("state")));
    environment.insert(QStringLiteral("HOME"), m_home.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.path());
    return environment;
}

QString XServer::xdotool(const QStringList &arguments, int timeoutMs) const
{
    QProcess tool;
    tool.setProcessEnvironment(environment());
    tool.start(QStringLiteral("xdotool"), arguments);
    if (!tool.waitForFinished(timeoutMs)) {
        tool.kill();
        tool.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

QString XServer::waitForWindow(const QString &title, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    // xdotool matches POSIX extended expressions, in which a backslash before an ordinary
    // character may mean something else (\' ends the text): escape only what is special.
    QString escaped;
    for (const QChar c : title) {
        if (QStringLiteral(".[]()*+?{}|^$\\").contains(c))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    const QString pattern = QLatin1Char('^') + escaped + QLatin1Char('$');
    do {
        const QString found = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                       QStringLiteral("--name"), pattern});
        if (!found.isEmpty())
            return found.section(QLatin1Char('\n'), 0, 0);
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return {};
}

void XServer::click(const QString &window, QPoint at, int count, int delayMs) const
{
    const auto number = [](int value) { return QString::number(value); };
    xdotool({"mousemove", "--sync", "--window", window, number(at.x() + 1), number(at.y() + 1),
             "mousemove", "--sync", "--window", window, number(at.x()), number(at.y()), "click",
             "--repeat", number(count), "--delay", number(delayMs), "1"});
}

void XServer::focus(const QString &window) const { xdotool({"windowfocus", "--sync", window}); }

bool XServer::requestClose(const QString &window) const
{
    xcb_connection_t *connection = xcb_connect(m_display.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return false;
    }
    auto atom = [connection](const char *name) {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
        const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return value;
    };
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window.toUInt();
    message.type = atom("WM_PROTOCOLS");
    message.data.data32[0] = atom("WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, message.window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);
    xcb_disconnect(connection);
    return true;
}

QString XServer::waitForUntitledWindow(QSize size, int timeoutMs) const
{
    const QString geometry = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
    QDeadlineTimer deadline(timeoutMs);
    do {
        const QString ids = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                     QStringLiteral("--name"), QStringLiteral("^$")});
        for (const QString &id : ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (xdotool({QStringLiteral("getwindowgeometry"), id}).contains(geometry))
                return id;
        }
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return {};
}
