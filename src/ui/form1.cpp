#include "form1.h"

#include "control/desk.h"
#include "control/scenestore.h"
#include "link/seriallink.h"
#include "ui/clickguard.h"
#include "ui/cuewindow.h"
#include "ui/form1table.h"
#include "ui/form2.h"
#include "ui/imagecontrol.h"
#include "ui/levelslider.h"
#include "ui/linestatus.h"
#include "ui/optionbutton.h"
#include "ui/panelkeys.h"
#include "ui/pictures.h"
#include "ui/readout.h"
#include "ui/repeatguard.h"

#include <QDoubleSpinBox>
#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

namespace {

QString text(const char *utf8) { return QString::fromUtf8(utf8); }

// The fade time is shown in seconds and kept by the desk in tenths.
constexpr int TenthsPerSecond = 10;

// Places a control and gives it its design name: "Command5", or "VScroll1_3" for
// element 3 of the array VScroll1.
template<typename Widget>
Widget *place(Widget *widget, const Twips &where, const char *name, int index = -1)
{
    widget->setGeometry(where.toPixels());
    QString objectName = QString::fromLatin1(name);
    if (index >= 0)
        objectName += QLatin1Char('_') + QString::number(index);
    widget->setObjectName(objectName);
    return widget;
}

QPushButton *optionButton(const char *name, int i, QGroupBox *frame)
{
    // The frame is its group.
    return place(new OptionButton(QString::number(i + 1), frame), Form1Table::OptionButton(i),
                 name, i);
}

} // namespace

Form1::Form1(Desk &desk, SerialLink &link, QWidget *parent)
    : QWidget(parent), m_desk(desk), m_link(link)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    // A click that falls through a window closing under the pointer acts on nothing.
    qApp->installEventFilter(new ClickGuard(this));
    // A held Space presses a button once.
    qApp->installEventFilter(new RepeatGuard(this));
    setWindowIcon(Pictures::icon(Pictures::programIcon()));
    // No layout: resizing the window moves nothing, as on the board's original panel.
    resize(Form1Table::ClientWidth / Twips::PerPixel, Form1Table::ClientHeight / Twips::PerPixel);
    createControls();
    wireControls();
    showDesk();
    m_VScroll1[0]->setFocus();
}

Form1::~Form1()
{
    // Closing hides the window, and the fade box then takes what was typed in it as a value
    // and tells the desk, which would tell this half-destroyed window back: a window that
    // is going takes nothing more and shows nothing more.
    m_fadeTime->blockSignals(true);
    disconnect(&m_desk, nullptr, this, nullptr);
}

QFont Form1::captionFont(double pointSize)
{
    // The panel's Ming typeface is rarely installed outside Taiwan; take the first Ming
    // face that is. Naming it directly, rather than through a font substitution, spares
    // the font system a fallback search for the missing family at every start. Looked up
    // in the list of installed families: asking for a name by itself has the font system
    // run its substitution rules for it, about a millisecond for each name that is missing.
    static const QString family = [] {
        const QStringList ming = {text(Form1Table::CaptionFont), QStringLiteral("PMingLiU"),
                                  QStringLiteral("AR PL UMing TW"),
                                  QStringLiteral("AR PL New Sung"),
                                  QStringLiteral("Noto Serif CJK TC")};
        const QStringList installed = QFontDatabase::families();
        for (const QString &candidate : ming) {
            if (installed.contains(candidate, Qt::CaseInsensitive))
                return candidate;
        }
        return ming.first();
    }();
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Bold);
    return font;
}

QString Form1::readOutText(int level) { return QLatin1Char(' ') + QString::number(level); }

void Form1::createControls()
{
    namespace T = Form1Table;
    std::vector<std::pair<int, QWidget *>> stops;

    for (int i = 0; i < T::LabelCount; ++i) {
        m_Label1[i] = place(new QLabel(text(T::Label1Text[i]), this), T::Label1(i), "Label1", i);
        m_Label1[i]->setFont(captionFont(T::Label1PointSize(i)));
        m_Label1[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }

    auto readOut = [this](const Twips &where, const char *name, int index) {
        auto *box = place(new ReadOut(text(T::ReadOutInitialText), this), where, name, index);
        box->setFont(captionFont(T::ReadOutPointSize));
        box->setAlignment(Qt::AlignLeft);
        return box;
    };
    for (int i = 0; i < Board::ChannelCount; ++i) {
        m_VScroll1[i] = place(new LevelSlider(this), T::VScroll1(i), "VScroll1", i);
        m_VScroll1[i]->setSteps(T::ChannelArrowStep, T::ChannelTrackStep);
        m_Text1[i] = readOut(T::Text1(i), "Text1", i);
        m_Command1[i] =
            place(new QPushButton(text(T::FullOnText), this), T::Command1(i), "Command1", i);
        m_Command2[i] =
            place(new QPushButton(text(T::OffText), this), T::Command2(i), "Command2", i);
        stops.insert(stops.end(), {{T::VScroll1Tab[i], m_VScroll1[i]},
                                   {T::Text1Tab[i], m_Text1[i]},
                                   {T::Command1Tab[i], m_Command1[i]},
                                   {T::Command2Tab[i], m_Command2[i]}});
    }

    m_VScroll2 = place(new LevelSlider(this), T::VScroll2, "VScroll2");
    m_VScroll2->setSteps(T::MasterArrowStep, T::MasterTrackStep);
    m_Text2 = readOut(T::Text2, "Text2", -1);
    m_Command3 = place(new QPushButton(text(T::FullOnText), this), T::Command3, "Command3");
    m_Command4 = place(new QPushButton(text(T::OffText), this), T::Command4, "Command4");
    m_Command5 = place(new QPushButton(text(T::Command5Text), this), T::Command5, "Command5");
    m_Image2 = place(new ImageControl(Pictures::storeImage(), true, this), T::Image2, "Image2");
    m_Image2->setToolTip(text(T::Image2ToolTip));

    auto *frame1 = place(new QGroupBox(text(T::Frame1Text), this), T::Frame1, "Frame1");
    auto *frame2 = place(new QGroupBox(text(T::Frame2Text), this), T::Frame2, "Frame2");
    for (int i = 0; i < T::OptionCount; ++i) {
        m_Option1[i] = optionButton("Option1", i, frame1);
        m_Option2[i] = optionButton("Option2", i, frame2);
        stops.insert(stops.end(),
                     {{T::Option1Tab(i), m_Option1[i]}, {T::Option2Tab(i), m_Option2[i]}});
    }
    stops.insert(stops.end(), {{T::VScroll2Tab, m_VScroll2},
                               {T::Text2Tab, m_Text2},
                               {T::Command3Tab, m_Command3},
                               {T::Command4Tab, m_Command4},
                               {T::Command5Tab, m_Command5}});
    createShowControls(stops);
    createPlaybackControls(stops);
    createWebRemoteButton(stops);
    applyTabOrder(std::move(stops));
}

void Form1::createShowControls(std::vector<std::pair<int, QWidget *>> &stops)
{
    namespace T = Form1Table;
    m_blackout = place(new QPushButton(text(T::BlackoutText), this), T::Blackout, "Blackout");
    m_blackout->setCheckable(true);
    m_blackout->setToolTip(tr("Blackout (B): every channel to 0. Again: the levels from before "
                              "come back."));
    m_blackout->setFont(captionFont(T::Label1PointSize(1)));
    m_sendAll = place(new QPushButton(text(T::SendAllText), this), T::SendAll, "SendAll");
    m_sendAll->setToolTip(tr("Send the mode and every level to the board again, as for a board "
                             "that was switched off and on."));
    m_lineState = place(new LineStatus(m_link, m_desk, this), T::LineState, "LineState");
    m_blackoutNotice =
        place(new QLabel(text(T::BlackoutNoticeText), this), T::BlackoutNotice, "BlackoutNotice");
    m_blackoutNotice->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_blackoutNotice->setFont(captionFont(T::Label1PointSize(0)));
    m_blackoutNotice->hide();
    // Where the blackout's notice stands: a recall cannot fade while a blackout holds.
    m_fadeNotice = place(new QLabel(this), T::BlackoutNotice, "FadeNotice");
    m_fadeNotice->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_fadeNotice->hide();
    stops.insert(stops.end(), {{T::BlackoutTab, m_blackout}, {T::SendAllTab, m_sendAll}});
}

void Form1::createPlaybackControls(std::vector<std::pair<int, QWidget *>> &stops)
{
    namespace T = Form1Table;
    m_fadeLabel = place(new QLabel(text(T::FadeLabelText), this), T::FadeLabel, "FadeLabel");
    m_fadeLabel->setFont(captionFont(T::Label1PointSize(1)));
    m_fadeTime = place(new QDoubleSpinBox(this), T::FadeTime, "FadeTime");
    m_fadeTime->setDecimals(1);
    m_fadeTime->setRange(0.0, Desk::LongestFade / double(TenthsPerSecond));
    m_fadeTime->setSingleStep(1.0 / TenthsPerSecond);
    // Typing "2.5" must not recall at 2.0 s and 2.5 s on the way.
    m_fadeTime->setKeyboardTracking(false);
    m_fadeTime->setAlignment(Qt::AlignRight);
    const QString fadeTip = tr("Fade time of a recall, in seconds: each channel moves from "
                               "where it stands to the scene's level over this time. 0 cuts at "
                               "once.");
    m_fadeTime->setToolTip(fadeTip);
    m_fadeLabel->setToolTip(fadeTip);
    m_fadeLabel->setBuddy(m_fadeTime);
    m_undo = place(new QPushButton(text(T::UndoText), this), T::Undo, "Undo");
    m_undo->setToolTip(tr("Take back the last change of levels (Ctrl+Z)"));
    m_redo = place(new QPushButton(text(T::RedoText), this), T::Redo, "Redo");
    m_redo->setToolTip(tr("Bring back what was taken back (Ctrl+Shift+Z)"));
    stops.insert(stops.end(),
                 {{T::FadeTimeTab, m_fadeTime}, {T::UndoTab, m_undo}, {T::RedoTab, m_redo}});
}

void Form1::createWebRemoteButton(std::vector<std::pair<int, QWidget *>> &stops)
{
    namespace T = Form1Table;
    m_webRemote = place(new QPushButton(text(T::WebRemoteText), this), T::WebRemote, "WebRemote");
    m_webRemote->setToolTip(tr("Show the code that a phone scans to join the web remote."));
    connect(m_webRemote, &QPushButton::clicked, this, &Form1::webRemoteAsked);
    // Without --web there is nothing to join.
    m_webRemote->hide();
    stops.emplace_back(T::WebRemoteTab, m_webRemote);
    auto *cues = place(new QPushButton(text(T::CueListText), this), T::CueList, "CueList");
    cues->setToolTip(tr("The cue list: a show of numbered looks run in order with GO (G)"));
    connect(cues, &QPushButton::clicked, this, &Form1::openCueList);
    stops.emplace_back(T::CueListTab, cues);
}

void Form1::offerWebRemote() { m_webRemote->show(); }

void Form1::openCueList()
{
    if (!m_desk.cueList())
        return;
    // One window for the run, beside the panel rather than over it.
    if (!m_cueWindow)
        m_cueWindow = new CueWindow(m_desk, *m_desk.cueList(), this);
    m_cueWindow->show();
    m_cueWindow->raise();
    m_cueWindow->activateWindow();
}

void Form1::applyTabOrder(std::vector<std::pair<int, QWidget *>> stops)
{
    std::sort(stops.begin(), stops.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    for (std::size_t k = 1; k < stops.size(); ++k)
        QWidget::setTabOrder(stops[k - 1].second, stops[k].second);
}

void Form1::wireControls()
{
    for (int i = 0; i < Board::ChannelCount; ++i) {
        connect(m_VScroll1[i], &LevelSlider::levelChanged, this,
                [this, i](int level) { VScroll1_Change(i, level); });
        connect(m_VScroll1[i], &LevelSlider::levelScrolled, this,
                [this, i](int level) { VScroll1_Scroll(i, level); });
        connect(m_Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
        connect(m_Command2[i], &QPushButton::clicked, this, [this, i] { Command2_Click(i); });
    }
    connect(m_VScroll2, &LevelSlider::levelChanged, this, &Form1::VScroll2_Change);
    connect(m_VScroll2, &LevelSlider::levelScrolled, this, &Form1::VScroll2_Scroll);
    connect(m_Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(m_Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(m_Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    for (int i = 0; i < Form1Table::OptionCount; ++i) {
        connect(m_Option1[i], &QPushButton::clicked, this, [this, i] { Option1_Click(i); });
        connect(m_Option2[i], &QPushButton::clicked, this, [this, i] { Option2_Click(i); });
    }
    connect(m_Image2, &ImageControl::clicked, this, &Form1::Image2_Click);
    // The button shows the desk's blackout; its own check state never leads.
    connect(m_blackout, &QPushButton::clicked, this, [this] {
        m_blackout->setChecked(m_desk.isBlackout());
        act(Intent::Kind::Blackout);
    });
    connect(m_sendAll, &QPushButton::clicked, this, [this] { act(Intent::Kind::SendAll); });
    new PanelKeys(this, m_desk);
    wirePlayback();

    // What the desk reports, shown; nothing here calls back into it.
    connect(&m_desk, &Desk::channelChanged, this, [this](int channel, int level) {
        m_VScroll1[channel]->showLevel(level);
        showLater(channel);
    });
    connect(&m_desk, &Desk::masterChanged, this, [this](int level) {
        m_VScroll2->showLevel(level);
        showLater(MasterReadOut);
    });
    connect(&m_desk, &Desk::modeChanged, this,
            [this](int mode) { m_Option2[mode]->setChecked(true); });
    connect(&m_desk, &Desk::sceneRecalled, this,
            [this](int sceneNumber) { m_Option1[sceneNumber - 1]->setChecked(true); });
    connect(&m_desk, &Desk::recallRefused, this, &Form1::warnRefused);
    connect(&m_desk, &Desk::blackoutChanged, this, &Form1::showBlackout);
}

void Form1::act(Intent::Kind kind, int index, int value)
{
    m_desk.apply(Intent{kind, index, value, std::nullopt, Source{Source::Kind::Window, 0}});
}

void Form1::VScroll1_Change(int Index, int level) { act(Intent::Kind::Channel, Index, level); }

void Form1::VScroll1_Scroll(int Index, int level) { act(Intent::Kind::Channel, Index, level); }

void Form1::VScroll2_Change(int level) { act(Intent::Kind::Master, 0, level); }

void Form1::VScroll2_Scroll(int level) { act(Intent::Kind::Master, 0, level); }

void Form1::Command1_Click(int Index) { act(Intent::Kind::FullOn, Index); }

void Form1::Command2_Click(int Index) { act(Intent::Kind::Off, Index); }

void Form1::Command3_Click() { act(Intent::Kind::MasterFullOn); }

void Form1::Command4_Click() { act(Intent::Kind::AllOff); }

void Form1::Command5_Click() { act(Intent::Kind::Download); }

void Form1::Option1_Click(int Index) { act(Intent::Kind::Recall, Index + 1); }

void Form1::Option2_Click(int Index) { act(Intent::Kind::Mode, Index); }

void Form1::wirePlayback()
{
    Desk *desk = &m_desk;
    connect(m_fadeTime, &QDoubleSpinBox::valueChanged, this, [this](double seconds) {
        act(Intent::Kind::FadeTime, 0, int(std::lround(seconds * TenthsPerSecond)));
    });
    connect(desk, &Desk::fadeTimeChanged, this, [this](int tenths) {
        const QSignalBlocker quiet(m_fadeTime);
        m_fadeTime->setValue(tenths / double(TenthsPerSecond));
    });
    // A whole fader gesture, from press to release, is one step of undo.
    for (LevelSlider *slider : m_VScroll1) {
        connect(slider, &QAbstractSlider::sliderPressed, desk, [desk] { desk->holdFader(true); });
        connect(slider, &QAbstractSlider::sliderReleased, desk,
                [desk] { desk->holdFader(false); });
    }
    connect(m_VScroll2, &QAbstractSlider::sliderPressed, desk, [desk] { desk->holdFader(true); });
    connect(m_VScroll2, &QAbstractSlider::sliderReleased, desk,
            [desk] { desk->holdFader(false); });
    connect(m_undo, &QPushButton::clicked, this, [this] { act(Intent::Kind::Undo); });
    connect(m_redo, &QPushButton::clicked, this, [this] { act(Intent::Kind::Redo); });
    connect(desk, &Desk::undoChanged, this, [this](bool canUndo, bool canRedo) {
        m_undo->setEnabled(canUndo);
        m_redo->setEnabled(canRedo);
    });
    connect(desk, &Desk::liveSceneChanged, this, &Form1::showLiveScene);
    connect(desk, &Desk::fadeProgressed, this, &Form1::showFade);
}

void Form1::showBlackout(bool on)
{
    // Seen across a dark room while it holds the lamps at 0. The style sheets are given at
    // the first blackout, not at the start: the first sheet of a program brings a style
    // of its own and the style sheet parser, which the window shown without them does not
    // need; the fade's notice gets its own the same way.
    if (on && m_blackout->styleSheet().isEmpty()) {
        m_blackout->setStyleSheet(
            QStringLiteral("QPushButton:checked { background: #c00000; color: white; }"));
        m_blackoutNotice->setStyleSheet(QStringLiteral("color: #c00000;"));
    }
    m_blackout->setChecked(on);
    m_blackoutNotice->setVisible(on);
}

void Form1::showFade(int sceneNumber, int percent)
{
    // The scene being faded to shows how far it has come; it turns green only once the
    // levels have landed on it.
    if (sceneNumber > 0 && m_fadeNotice->styleSheet().isEmpty())
        m_fadeNotice->setStyleSheet(QStringLiteral("color: #1f8f3a; font-weight: bold;"));
    m_fadeNotice->setVisible(sceneNumber > 0);
    if (sceneNumber > 0) {
        m_fadeNotice->setText(tr("Fading to %1: %2%").arg(sceneNumber).arg(percent));
        m_fadeNotice->setToolTip(tr("A recall of scene %1 is fading: %2% of its time has "
                                    "passed.")
                                     .arg(sceneNumber)
                                     .arg(percent));
    }
    showLiveScene(m_desk.liveScene(), m_desk.isLiveChanged());
}

void Form1::showLiveScene(int sceneNumber, bool changed)
{
    // Read across the room: the live scene's button green, amber once a level has left
    // it; its number stays its caption.
    if (m_markedScene > 0 && m_markedScene != sceneNumber) {
        m_Option1[m_markedScene - 1]->setStyleSheet(QString());
        m_Option1[m_markedScene - 1]->setToolTip(QString());
    }
    m_markedScene = sceneNumber;
    if (sceneNumber < 1)
        return;
    QPushButton *button = m_Option1[sceneNumber - 1];
    button->setChecked(true);
    if (m_desk.fadeScene() == sceneNumber) {
        // Filled with green from the bottom as far as the fade has come, inside a green
        // frame. A checked button draws its own pattern over a background unless the sheet
        // draws the border too.
        const double part = m_desk.fadePercent() / 100.0;
        button->setStyleSheet(
            QStringLiteral("QPushButton { background: qlineargradient(x1:0, y1:1, x2:0, y2:0, "
                           "stop:0 #1f8f3a, stop:%1 #1f8f3a, stop:%2 #e8e8e8, stop:1 #e8e8e8); "
                           "border: 2px solid #1f8f3a; border-radius: 3px; color: black; "
                           "font-weight: bold; }")
                .arg(part, 0, 'f', 3)
                .arg(std::min(part + 0.001, 1.0), 0, 'f', 3));
        button->setToolTip(tr("Fading to scene %1: %2% of the fade time has passed.")
                               .arg(sceneNumber)
                               .arg(m_desk.fadePercent()));
        return;
    }
    button->setStyleSheet(changed ? QStringLiteral("QPushButton { background: #f0a800; color: "
                                                   "black; font-weight: bold; }")
                                  : QStringLiteral("QPushButton { background: #1f8f3a; color: "
                                                   "white; font-weight: bold; }"));
    button->setToolTip(changed
                           ? tr("Scene %1 was live; levels have changed since.").arg(sceneNumber)
                           : tr("Scene %1 is live.").arg(sceneNumber));
}

void Form1::showDesk()
{
    // The read-outs keep their first text until a level changes, as on the board's panel.
    for (int i = 0; i < Board::ChannelCount; ++i)
        m_VScroll1[i]->showLevel(m_desk.channel(i));
    m_VScroll2->showLevel(m_desk.master());
    catchUp();
    if (m_desk.mode() != Desk::NoMode)
        m_Option2[m_desk.mode()]->setChecked(true);
    showBlackout(m_desk.isBlackout());
    {
        const QSignalBlocker quiet(m_fadeTime);
        m_fadeTime->setValue(m_desk.fadeTime() / double(TenthsPerSecond));
    }
    m_undo->setEnabled(m_desk.canUndo());
    m_redo->setEnabled(m_desk.canRedo());
    showFade(m_desk.fadeScene(), m_desk.fadePercent());
}

void Form1::warnRefused(int sceneNumber, int channel, int level)
{
    Q_EMIT warned(tr("Scene %1 in %2 holds the level %3 for channel %4 (%5); levels run from "
                     "%6 to %7. The scene was not recalled and nothing was sent.")
                      .arg(sceneNumber)
                      .arg(m_desk.scenes().location())
                      .arg(level)
                      .arg(channel + 1)
                      .arg(m_Label1[channel]->text())
                      .arg(Board::Off)
                      .arg(Board::FullOn));
}

void Form1::showLater(int readOut)
{
    // The sliders and read-outs catch up when the window is next painted, at most once a
    // frame however many changes came in between: laying out the digits and moving the
    // thumbs cost far more than all the rest of a level change.
    m_readOutsBehind.set(std::size_t(readOut));
    if (!m_catchUpAsked) {
        m_catchUpAsked = true;
        QCoreApplication::postEvent(this, new QEvent(QEvent::UpdateRequest));
    }
}

void Form1::catchUp()
{
    m_catchUpAsked = false;
    for (LevelSlider *slider : m_VScroll1)
        slider->catchUp();
    m_VScroll2->catchUp();
    for (int i = 0; i < Board::ChannelCount; ++i) {
        if (m_readOutsBehind.test(std::size_t(i)))
            m_Text1[i]->showText(readOutText(m_desk.channel(i)));
    }
    if (m_readOutsBehind.test(MasterReadOut))
        m_Text2->showText(readOutText(m_desk.master()));
    m_readOutsBehind.reset();
}

bool Form1::event(QEvent *event)
{
    if (event->type() == QEvent::UpdateRequest)
        catchUp();
    return QWidget::event(event);
}

void Form1::showKeepingProblem(const QString &problem) { m_lineState->setKeepingProblem(problem); }

void Form1::showNetworkState(const QString &text, const QString &toolTip, NetworkLook look)
{
    namespace T = Form1Table;
    if (!m_networkState) {
        m_networkState = place(new QLabel(this), T::NetworkState, "NetworkState");
        m_networkState->setTextFormat(Qt::PlainText);
        m_networkState->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_networkState->setWordWrap(true);
        // The line's font, as the line's strip has it: the state of an input, not a caption.
        QFont small = m_networkState->font();
        small.setPointSizeF(T::NetworkStatePointSize);
        m_networkState->setFont(small);
        m_networkState->show();
    }
    m_networkState->setText(text);
    m_networkState->setToolTip(toolTip);
    // The line's colours: green while a console sends, red once it is lost.
    QColor colour = palette().color(QPalette::WindowText);
    if (look == NetworkLook::Live)
        colour = QColor(0, 110, 40);
    else if (look == NetworkLook::Lost)
        colour = QColor(190, 0, 0);
    QPalette shades = m_networkState->palette();
    shades.setColor(QPalette::WindowText, colour);
    m_networkState->setPalette(shades);
    QFont font = m_networkState->font();
    font.setBold(look == NetworkLook::Lost);
    m_networkState->setFont(font);
}

bool Form1::Form_Load(const QString &portName, QString *errorMessage)
{
    return m_link.open(portName, errorMessage);
}

void Form1::Image2_Click()
{
    // One scene key window for the whole run; every later opening shows it again.
    if (!m_form2)
        m_form2 = new Form2(m_desk, this);
    // Every input holds still while the scene keys are up: a store saves the levels the
    // window opened on. Other windows (a message, the web remote's code) hold nothing.
    m_desk.holdInput(true);
    m_form2->exec();
    m_desk.holdInput(false);
}
