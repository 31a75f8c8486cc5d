#pragma once

#include <QByteArray>

struct RequestHead;

// The page's files as HTTP/1.1 answers: the page, its script, its style and the board's
// numbers, from the program's resources; any other path is not found. GET and HEAD only.
// A pure function of the request, so that the server's only part is to say which requests
// it answers at all.
namespace PageFiles {

// The whole response: status line, headers and (but for HEAD) body.
QByteArray answer(const RequestHead &head);

enum Connection { Kept, Closing };

// A response with no body, for a refusal: "421 Misdirected Request". Closing says so in
// its headers; the server then ends the connection once it is sent.
QByteArray status(const char *codeAndReason, Connection connection = Kept);

} // namespace PageFiles
