#include "deskfixture.h"

#include "support/deskactions.h"

DeskFixture::DeskFixture()
    : scenes(folder.filePath(SceneFile::fileName())), desk(line, scenes, clock)
{
    desk.setCueList(&cues);
    QObject::connect(&desk, &Desk::failed, &desk,
                     [this](const QString &message) { failures << message; });
    QObject::connect(&desk, &Desk::recallRefused, &desk,
                     [this](int scene, int channel, int level) {
                         refusals << QStringLiteral("%1 %2 %3").arg(scene).arg(channel).arg(level);
                     });
}

void DeskFixture::setLevels(const QList<int> &channels, int master)
{
    desk.apply(want(Intent::Kind::Master, 0, master, Source::Kind::Window));
    for (int i = 0; i < channels.size(); ++i)
        desk.apply(want(Intent::Kind::Channel, i, channels[i], Source::Kind::Window));
    line.take();
}

QList<int> DeskFixture::levels() const
{
    QList<int> levels;
    for (int i = 0; i < Board::ChannelCount; ++i)
        levels << desk.channel(i);
    return levels << desk.master();
}
