#pragma once

#include "protocol/scenedownloadframe.h"

#include <QString>

// Where the twelve scenes are kept; the desk reads and writes them only through this. A
// scene is one record: a level for each channel, channel 0 first.
class SceneStore
{
public:
    using Record = SceneDownloadFrame::Record;
    using Records = SceneDownloadFrame::Records;

    virtual ~SceneStore() = default;

    // Where the scenes are, as the operator knows the place: the file's path.
    virtual QString location() const = 0;

    // Scene n (1..12). A scene never stored reads as every channel off. False, with what
    // went wrong in error, when the store cannot be read; record is then all zeros.
    virtual bool read(int sceneNumber, Record &record, QString *error) const = 0;
    // All twelve, in scene order, each read once.
    virtual bool readAll(Records &records, QString *error) const = 0;
    // Stores scene n. False, with what went wrong, when it cannot; the scene is then as it
    // was.
    virtual bool write(int sceneNumber, const Record &record, QString *error) = 0;
};
