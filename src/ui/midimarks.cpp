#include "midimarks.h"

#include "ui/form1table.h"

#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

namespace {

// Amber, as a scene that changed since it was live: a state that asks for the hand.
const QColor MarkColour(0xd0, 0x80, 0x00);

} // namespace

PickupMark::PickupMark(QWidget *parent) : QWidget(parent) { hide(); }

void PickupMark::showPickup(Pickup pickup)
{
    if (pickup == m_pickup)
        return;
    m_pickup = pickup;
    setToolTip(pickup == Pickup::Below
                   ? tr("The MIDI fader stands below this level: push it up to the level, and "
                        "it takes over.")
               : pickup == Pickup::Above
                   ? tr("The MIDI fader stands above this level: pull it down to the level, and "
                        "it takes over.")
                   : QString());
    setVisible(pickup != Pickup::None);
    update();
}

void PickupMark::paintEvent(QPaintEvent *)
{
    if (m_pickup == Pickup::None)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(1, 1, -1, -1);
    const qreal half = box.width() / 2;
    const qreal tip =
        m_pickup == Pickup::Below ? box.center().y() - half * 1.4 : box.center().y() + half * 1.4;
    const qreal base =
        m_pickup == Pickup::Below ? box.center().y() + half * 0.6 : box.center().y() - half * 0.6;
    QPainterPath arrow;
    arrow.moveTo(box.center().x(), tip);
    arrow.lineTo(box.right(), base);
    arrow.lineTo(box.left(), base);
    arrow.closeSubpath();
    painter.fillPath(arrow, MarkColour);
}

MidiMarks::MidiMarks(QWidget *panel) : QObject(panel)
{
    namespace T = Form1Table;
    for (int target = 0; target <= Board::ChannelCount; ++target) {
        auto *mark = new PickupMark(panel);
        mark->setGeometry(T::PickupMark(target).toPixels());
        mark->setObjectName(QStringLiteral("PickupMark_%1").arg(target));
        m_marks[std::size_t(target)] = mark;
    }
    m_learn = new QPushButton(QString::fromUtf8(T::MidiLearnText), panel);
    m_learn->setGeometry(T::MidiLearn.toPixels());
    m_learn->setObjectName(QStringLiteral("MidiLearn"));
    m_learn->setCheckable(true);
    m_learn->setToolTip(tr("MIDI learn: touch a control of the panel and move one of the "
                           "surface, in either order, to pair them; press again to end."));
    connect(m_learn, &QPushButton::toggled, this, &MidiMarks::learningToggled);
    m_learn->show();
}

void MidiMarks::showPickup(int target, Pickup pickup)
{
    if (target >= 0 && target <= Board::ChannelCount)
        m_marks[std::size_t(target)]->showPickup(pickup);
}

void MidiMarks::showLearned(const QString &pair)
{
    m_learn->setToolTip(pair + QLatin1Char('\n') +
                        tr("Touch another control of the panel and move one of the surface to "
                           "pair them too; press again to end."));
}
