#pragma once

#include "control/intent.h"
#include "web/panelsnapshot.h"

#include <QByteArray>
#include <QString>

#include <sys/socket.h>
#include <vector>

// The seam between the panel and its web remote, which is a module of its own, loaded
// only when --web asks for it: a panel started without it pays nothing for the HTTP and
// WebSocket libraries. Nothing crosses but these two interfaces and plain values, so the
// module needs no symbol of the program's.

// The panel as the web remote sees it: what it shows, and the intents a page may ask for.
class PanelAccess
{
public:
    virtual ~PanelAccess() = default;
    virtual PanelSnapshot snapshot() const = 0;
    virtual Intent::Outcome act(const Intent &intent) = 0;
};

// The web remote: a page and its WebSocket on one TCP port.
class WebRemote
{
public:
    virtual ~WebRemote() = default;
    // false, with a message naming the address and the reason, when it cannot be had.
    // name: the host name the address was given by, if it was, which the pages may ask for.
    virtual bool listen(const sockaddr_storage &at, const QString &name,
                        QString *errorMessage) = 0;
    virtual quint16 port() const = 0;
    // Something the pages show changed: they hear of it soon.
    virtual void panelChanged() = 0;
    // The address a phone joins at, with the access token.
    virtual QString joinAddress() const = 0;
    // A new token; every page that joined with the old one is dropped. false, with why,
    // when it could not be kept.
    virtual bool renewToken(QString *errorMessage) = 0;
    // The QR code of text, rows of modules, true for dark; empty when it does not fit.
    virtual std::vector<std::vector<bool>> qrCode(const QByteArray &text) const = 0;
    // What became of the pages' messages, one line for the end of the run.
    virtual QString countsSummary() const = 0;
};

// The module's one entry point, found by name: a remote for panel that keeps its token in
// stateFolder; null, with why, when the token cannot be read or made.
extern "C" {
using DimmerWebCreate = WebRemote *(*)(PanelAccess *panel, const QString *stateFolder,
                                       QString *errorMessage);
}
inline constexpr const char *DimmerWebCreateName = "dimmer_web_create";
