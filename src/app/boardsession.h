#pragma once

#include "app/lampmemory.h"
#include "control/desk.h"
#include "link/seriallink.h"

#include <QObject>
#include <QString>

#include <memory>

class SceneStore;

// What belongs to one board: the line to it, the desk that drives it, and the memory of what
// its lamps hold from one run to the next. Built here and nowhere else, so that a panel could
// hold several.
class BoardSession : public QObject
{
    Q_OBJECT

public:
    explicit BoardSession(SceneStore &scenes, QObject *parent = nullptr);
    ~BoardSession() override;

    SerialLink &link() { return m_link; }
    Desk &desk() { return m_desk; }

    // Once the port is open (as it was named): what the lamps kept is shown, and what the
    // line takes is kept in stateFolder from now on.
    void begin(const QString &port, const QString &stateFolder);
    // Null before begin().
    LampMemory *lamps() { return m_lamps.get(); }

    // Every packet handed to the port reaches the line, then what the lamps hold is kept;
    // tells on stderr what did not reach the board.
    void end();

private:
    SerialLink m_link;
    Desk m_desk;
    std::unique_ptr<LampMemory> m_lamps;
};
