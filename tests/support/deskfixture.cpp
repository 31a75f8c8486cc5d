#include "deskfixture.h"

DeskFixture::DeskFixture()
    : scenes(folder.filePath(SceneFile::fileName())), desk(line, scenes, clock)
{
    QObject::connect(&desk, &Desk::failed, &desk,
                     [this](const QString &message) { failures << message; });
    QObject::connect(&desk, &Desk::recallRefused, &desk,
                     [this](int scene, int channel, int level) {
                         refusals << QStringLiteral("%1 %2 %3").arg(scene).arg(channel).arg(level);
                     });
}

void DeskFixture::setLevels(const QList<int> &channels, int master)
{
    desk.moveMaster(master);
    for (int i = 0; i < channels.size(); ++i)
        desk.moveChannel(i, channels[i]);
    line.take();
}

QList<int> DeskFixture::levels() const
{
    QList<int> levels;
    for (int i = 0; i < Board::ChannelCount; ++i)
        levels << desk.channel(i);
    return levels << desk.master();
}
