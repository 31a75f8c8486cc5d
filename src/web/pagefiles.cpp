#include "pagefiles.h"

#include "control/intent.h"
#include "protocol/boardnumbers.h"
#include "web/requesthead.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>

namespace {

struct File
{
    const char *path;
    const char *resource;
    const char *type;
};

constexpr std::array<File, 4> Files = {{
    {"/", "index.html", "text/html; charset=utf-8"},
    {"/app.js", "app.js", "text/javascript; charset=utf-8"},
    {"/board.js", nullptr, "text/javascript; charset=utf-8"},
    {"/app.css", "app.css", "text/css; charset=utf-8"},
}};

// The board's numbers, which the page's script takes from where the panel does.
QByteArray boardScript()
{
    const QJsonObject board{
        {QStringLiteral("channels"), Board::ChannelCount},
        {QStringLiteral("scenes"), Board::SceneCount},
        {QStringLiteral("modes"), Board::ModeCount},
        {QStringLiteral("full"), Board::FullOn},
        {QStringLiteral("longestFade"), Intent::LongestFade},
    };
    return "const BOARD = " + QJsonDocument(board).toJson(QJsonDocument::Compact) + ";\n";
}

} // namespace

namespace PageFiles {

QByteArray status(const char *codeAndReason, Connection connection)
{
    return QByteArray("HTTP/1.1 ") + codeAndReason + "\r\nContent-Length: 0\r\n" +
           (connection == Closing ? "Connection: close\r\n\r\n" : "\r\n");
}

QByteArray answer(const RequestHead &head)
{
    if (head.method != "GET" && head.method != "HEAD")
        return QByteArray("HTTP/1.1 405 Method Not Allowed\r\nAllow: GET, HEAD\r\n"
                          "Content-Length: 0\r\n\r\n");
    const QByteArrayView path = head.path();
    const auto file = std::find_if(Files.begin(), Files.end(),
                                   [path](const File &one) { return path == one.path; });
    if (file == Files.end())
        return status("404 Not Found");
    QByteArray body;
    if (!file->resource) {
        body = boardScript();
    } else {
        QFile resource(QStringLiteral(":/web/") + QLatin1String(file->resource));
        if (!resource.open(QIODevice::ReadOnly))
            return status("404 Not Found");
        body = resource.readAll();
    }
    QByteArray response = "HTTP/1.1 200 OK\r\nContent-Type: " + QByteArray(file->type) +
                          "\r\nContent-Length: " + QByteArray::number(body.size()) +
                          "\r\n"
                          // The page loads nothing from anywhere else, and nothing may frame it.
                          "Content-Security-Policy: default-src 'self'; connect-src 'self' ws: "
                          "wss:; img-src 'self' data:; frame-ancestors 'none'\r\n"
                          "Referrer-Policy: no-referrer\r\n"
                          "X-Content-Type-Options: nosniff\r\n"
                          "Cache-Control: no-cache\r\n\r\n";
    if (head.method == "GET")
        response += body;
    return response;
}

} // namespace PageFiles
