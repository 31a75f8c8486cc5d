#include "scenerecall.h"

#include "control/levelslider.h"
#include "control/module1.h"
#include "link/boardnumbers.h"
#include "scenes/scenefile.h"

#include <QDir>
#include <QLabel>

SceneRecall::SceneRecall(Module1 &state, const SceneFile &file, const PanelControls &controls,
                         QObject *parent)
    : QObject(parent), m_state(state), m_file(file), m_controls(controls)
{}

void SceneRecall::Option1_Click(int Index)
{
    const int n = Index + 1;
    SceneFile::Record record;
    {
        SceneFile::Access access = m_file.open();
        if (!access.readRecord(n, record) || !access.close()) {
            Q_EMIT failed(access.errorMessage());
            return;
        }
    }
    // A file that this program did not write may hold a byte that no slider can take.
    // Check the whole scene before anything moves, so that the board never gets half
    // of it.
    for (int k = 0; k < Board::ChannelCount; ++k) {
        if (record[k] > Board::FullOn) {
            Q_EMIT refused(tr("Scene %1 in %2 holds the level %3 for channel %4 (%5); levels "
                              "run from %6 to %7. The scene was not recalled and nothing was "
                              "sent.")
                               .arg(n)
                               .arg(QDir::toNativeSeparators(m_file.path()))
                               .arg(record[k])
                               .arg(k + 1)
                               .arg(m_controls.Label1[k]->text())
                               .arg(Board::Off)
                               .arg(Board::FullOn));
            return;
        }
    }
    m_state.LevelBuf = record;
    // In channel order; each slider that moves runs its handler nested and sends.
    for (int k = 0; k < Board::ChannelCount; ++k)
        m_controls.VScroll1[k]->setLevel(m_state.LevelBuf[k]);
}
