#pragma once

#include "control/intent.h"
#include "protocol/boardnumbers.h"
#include "ui/framepacer.h"

#include <QString>
#include <QWidget>

#include <array>
#include <bitset>
#include <cstdint>
#include <utility>
#include <vector>

class Desk;
class CueWindow;
class Form2;
class ImageControl;
class LevelSlider;
class LineStatus;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class ReadOut;
class QPushButton;
class SerialLink;

// The panel: eight channel columns and the master column, the send-settings button,
// the store image, and the scene and mode buttons, at the fixed places of the board's
// original panel. A view of the desk: each control's event handler, by the board panel's
// names, turns it into the desk intent with the control's value, and what the desk reports
// sets the sliders, read-outs and buttons.
// Every control carries its design name as its object name ("VScroll1_3", "Command5").
class Form1 : public QWidget
{
    Q_OBJECT

public:
    Form1(Desk &desk, SerialLink &link, QWidget *parent = nullptr);
    ~Form1() override;

    // Opens the board's serial port; false with the reason when it cannot.
    bool Form_Load(const QString &portName, QString *errorMessage);
    void Image2_Click();

    // The control events: a slider's Change and Scroll take its level, a button array's
    // Click the element's index.
    void VScroll1_Change(int Index, int level);
    void VScroll1_Scroll(int Index, int level);
    void VScroll2_Change(int level);
    void VScroll2_Scroll(int level);
    void Command1_Click(int Index);
    void Command2_Click(int Index);
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Option1_Click(int Index);
    void Option2_Click(int Index);

    // The font of the captions and read-outs, with a substitute where it is missing.
    static QFont captionFont(double pointSize);
    // The read-out form of a level: a space in the place of a sign, then the digits.
    static QString readOutText(int level);

    // Shows the button that asks for the web remote's join dialog (webRemoteAsked).
    void offerWebRemote();
    // Why what the board shows cannot be kept for the next start; empty when it can.
    void showKeepingProblem(const QString &problem);
    // What a console on the network sends: a few short lines, their whole story in the tool
    // tip (rich text, whose outside words the caller escaped). Shown from the first call.
    enum class NetworkLook : std::uint8_t { Waiting, Live, Lost };
    void showNetworkState(const QString &text, const QString &toolTip, NetworkLook look);

Q_SIGNALS:
    // Something the operator should know; the panel carries on.
    void warned(const QString &message);
    // The operator asked how a phone joins the web remote.
    void webRemoteAsked();

protected:
    bool event(QEvent *event) override;

private:
    void createControls();
    void wireControls();
    // One intent of the window's own.
    void act(Intent::Kind kind, int index = 0, int value = 0);
    void showDesk();
    void warnRefused(int sceneNumber, int channel, int level);
    // Read-out 0..7 of a channel, or the master's.
    static constexpr int MasterReadOut = Board::ChannelCount;
    void showLater(int readOut);
    // The sliders and read-outs to what the desk holds, before the window is painted.
    void catchUp();
    void applyTabOrder(std::vector<std::pair<int, QWidget *>> stops);
    // Blackout, send-all and the line's state, in the panel's free space.
    void createShowControls(std::vector<std::pair<int, QWidget *>> &stops);
    // The fade time, undo and redo, in the panel's free space too.
    void createPlaybackControls(std::vector<std::pair<int, QWidget *>> &stops);
    void wirePlayback();
    void showLiveScene(int sceneNumber, bool changed);
    void showBlackout(bool on);
    void showFade(int sceneNumber, int percent);
    void createWebRemoteButton(std::vector<std::pair<int, QWidget *>> &stops);
    void openCueList();

    Desk &m_desk;
    SerialLink &m_link;

    std::array<QLabel *, Board::ChannelCount + 1> m_Label1{};
    std::array<LevelSlider *, Board::ChannelCount> m_VScroll1{};
    LevelSlider *m_VScroll2 = nullptr;
    std::array<ReadOut *, Board::ChannelCount> m_Text1{};
    ReadOut *m_Text2 = nullptr;
    std::array<QPushButton *, Board::ChannelCount> m_Command1{};
    std::array<QPushButton *, Board::ChannelCount> m_Command2{};
    QPushButton *m_Command3 = nullptr;
    QPushButton *m_Command4 = nullptr;
    QPushButton *m_Command5 = nullptr;
    ImageControl *m_Image2 = nullptr;
    std::array<QPushButton *, Board::SceneCount> m_Option1{};
    std::array<QPushButton *, Board::ModeCount> m_Option2{};
    QPushButton *m_blackout = nullptr;
    QPushButton *m_sendAll = nullptr;
    LineStatus *m_lineState = nullptr;
    QLabel *m_blackoutNotice = nullptr;
    QLabel *m_fadeNotice = nullptr;
    QLabel *m_fadeLabel = nullptr;
    QDoubleSpinBox *m_fadeTime = nullptr;
    QPushButton *m_undo = nullptr;
    QPushButton *m_redo = nullptr;
    int m_markedScene = 0; // the scene button drawn as live, 1..12; 0: none
    QPushButton *m_webRemote = nullptr;
    QLabel *m_networkState = nullptr;
    Form2 *m_form2 = nullptr;
    CueWindow *m_cueWindow = nullptr;
    // The read-outs whose level changed since they were last drawn, the master's last.
    std::bitset<Board::ChannelCount + 1> m_readOutsBehind;
    bool m_catchUpAsked = false;

    FramePacer m_framePacer{this};
};
