#pragma once

#include "app/deskaccess.h"

#include <QCoreApplication>
#include <QObject>
#include <QString>

#include <memory>

class Desk;
struct OscEndpoint;
class SerialLink;

// The web remote, loaded from its module only when --web asks for it, and kept told of
// every change of the desk and the line.
class WebRemoteModule : public QObject
{
    Q_OBJECT

public:
    WebRemoteModule(Desk &desk, SerialLink &link, QObject *parent = nullptr);
    ~WebRemoteModule() override;

    // Where the module is: beside the program's folder, as installed and in the build tree.
    static QString modulePath();

    // Loads the module, reads or makes the token in stateFolder, and listens at (given by
    // name, if it was); false, with why, when any of it fails.
    bool start(const OscEndpoint &at, const QString &name, const QString &stateFolder,
               QString *errorMessage);
    WebRemote &remote() { return *m_remote; }

private:
    void follow();

    Desk &m_desk;
    SerialLink &m_link;
    DeskAccess m_access;
    std::unique_ptr<WebRemote> m_remote;
};
