#include "requesthead.h"

namespace {

constexpr QByteArrayView End = "\r\n\r\n";

bool isTokenCharacter(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
           QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        if (!isTokenCharacter(c))
            return false;
    }
    return true;
}

} // namespace

qsizetype RequestHead::count(QByteArrayView name) const
{
    qsizetype found = 0;
    for (const auto &[key, value] : headers)
        found += key == name ? 1 : 0;
    return found;
}

QByteArray RequestHead::value(QByteArrayView name) const
{
    for (const auto &[key, value] : headers) {
        if (key == name)
            return value;
    }
    return {};
}

bool RequestHead::lists(QByteArrayView name, QByteArrayView token) const
{
    for (const auto &[key, value] : headers) {
        if (key != name)
            continue;
        for (const QByteArray &item : value.split(',')) {
            if (item.trimmed().compare(token, Qt::CaseInsensitive) == 0)
                return true;
        }
    }
    return false;
}

QByteArrayView RequestHead::path() const
{
    const qsizetype query = target.indexOf('?');
    return QByteArrayView(target).first(query < 0 ? target.size() : query);
}

RequestHead::Status RequestHead::read(QByteArrayView bytes, RequestHead *head, qsizetype *length)
{
    const qsizetype end = bytes.indexOf(End);
    if (end < 0)
        return Status::Incomplete;
    *length = end + End.size();
    *head = RequestHead();
    const QList<QByteArray> lines = bytes.first(end).toByteArray().split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArrayView line = lines[i];
        // Every line but the last ends in CR LF; a bare LF, or a CR inside, is not HTTP.
        if (i + 1 < lines.size()) {
            if (!line.endsWith('\r'))
                return Status::Malformed;
            line.chop(1);
        }
        if (line.contains('\r') || line.contains('\0'))
            return Status::Malformed;
        if (i == 0) {
            const qsizetype first = line.indexOf(' ');
            const qsizetype last = line.lastIndexOf(' ');
            if (first <= 0 || last <= first + 1)
                return Status::Malformed;
            head->method = line.first(first).toByteArray();
            head->target = line.sliced(first + 1, last - first - 1).toByteArray();
            head->version = line.sliced(last + 1).toByteArray();
            if (!isToken(head->method) || head->target.contains(' ') ||
                !head->version.startsWith("HTTP/"))
                return Status::Malformed;
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        // A name is a token right up to its colon; a line that starts with a space would
        // fold the last header, which HTTP/1.1 no longer allows.
        if (colon <= 0 || !isToken(line.first(colon)))
            return Status::Malformed;
        head->headers.append({line.first(colon).toByteArray().toLower(),
                              line.sliced(colon + 1).trimmed().toByteArray()});
    }
    return head->method.isEmpty() ? Status::Malformed : Status::Complete;
}
