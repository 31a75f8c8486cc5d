#pragma once

#include "cli/commandline.h"
#include "dmx/dmxpatch.h"
#include "remote/feedbackclients.h"
#include "remote/oscendpoint.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <optional>

// What the command line asks of the panel. With no option the panel opens the board's
// fixed port and the scene file in the user's data folder.
struct Options
{
    Q_DECLARE_TR_FUNCTIONS(Options)

public:
    CommandLine::Verdict verdict;
    QString portName; // the port to open: --port, or the board's fixed port
    bool portGiven = false;
    bool choosePort = false;
    QString sceneFile; // empty: the one in the user's data folder
    bool sceneFileGiven = false;
    QString cuesFile;               // empty: beside the scene file
    std::optional<OscEndpoint> osc; // --osc: where remote control listens; none: off
    // --osc-feedback: targets told every level too, in the form each asks for.
    struct FeedbackTarget
    {
        OscEndpoint to;
        FeedbackClients::Form form = FeedbackClients::Form::Int;
    };
    QList<FeedbackTarget> oscFeedback;
    std::optional<OscEndpoint> web; // --web: where the web remote listens (TCP); none: off
    QString webName;                // --web's host when it was given by name
    // --sacn, --artnet: where a console's levels are taken from; none: off.
    std::optional<DmxPatch> sacn;
    std::optional<DmxPatch> artNet;
    QString netInterface; // --net-interface: where sACN joins its group; empty: everywhere

    static Options parse(const CommandLine::Arguments &arguments);
};
