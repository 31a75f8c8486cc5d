#include "linkeddesk.h"

#include <QTest>

LinkedDesk::LinkedDesk(bool open)
    : scenes(folder.filePath(SceneFile::fileName())), desk(link, scenes, clock)
{
    m_failure = line.errorString();
    if (line.isOpen() && open)
        link.open(line.slavePath(), &m_failure);
}

QByteArray LinkedDesk::sent()
{
    if (!QTest::qWaitFor([this] { return link.bytesQueued() == 0; }, 5000))
        return QByteArrayLiteral("<the line took nothing for five seconds>");
    return line.readAvailable();
}
