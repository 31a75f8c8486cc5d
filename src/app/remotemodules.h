#pragma once

#include "app/deskaccess.h"
#include "app/options.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class Desk;
class SerialLink;

// The remote inputs that the options ask for, each loaded from a module of its own only
// then (OSC with --osc, the web remote with --web), given the desk through DeskAccess and
// kept told of every change of the desk and the line. A module stays loaded to the end of
// the run: its code must outlive its remote.
class RemoteModules : public QObject
{
    Q_OBJECT

public:
    RemoteModules(Desk &desk, SerialLink &link, QObject *parent = nullptr);
    ~RemoteModules() override;

    // Where the modules are: beside the program's folder, as installed and in the build tree.
    static QString folder();

    // Remote control over OSC, listening at and telling targets every level; false, with
    // why, when its module or its port cannot be had.
    bool startOsc(const SocketAddress &at, const QList<Options::FeedbackTarget> &targets,
                  QString *errorMessage);
    // The web remote, its token kept in stateFolder, listening at; false, with why.
    bool startWeb(const SocketAddress &at, const QString &stateFolder, QString *errorMessage);
    // Null unless started.
    WebRemote *web() const { return m_web.get(); }

    // What became of each started input's messages, a line each, for the end of the run.
    QStringList countsSummaries() const;

private:
    template<typename Entry> Entry load(const char *file, const char *name, QString *errorMessage);
    void levelsChanged();
    void panelChanged();

    Desk &m_desk;
    SerialLink &m_link;
    DeskAccess m_access;
    std::unique_ptr<OscRemote> m_osc;
    std::unique_ptr<WebRemote> m_web;
};
