#pragma once

#include "control/lightingcontrol.h"
#include "control/panelcontrols.h"
#include "scenes/scenedownload.h"
#include "scenes/scenerecall.h"
#include "scenes/scenesave.h"
#include "ui/framepacer.h"

#include <QString>
#include <QWidget>

#include <array>
#include <utility>
#include <vector>

class Form2;
class ImageControl;
class QGroupBox;
class QPushButton;

// The panel: eight channel columns and the master column, the send-settings button,
// the store image, and the scene and mode buttons, at the fixed places of the board's
// original panel. It wires each control event to its handler and owns nothing else.
// Every control carries its design name as its object name ("VScroll1_3", "Command5").
class Form1 : public QWidget
{
    Q_OBJECT

public:
    Form1(Module1 &state, SerialLink &link, const SceneFile &scenes, QWidget *parent = nullptr);
    ~Form1() override;

    // Opens the board's serial port; false with the reason when it cannot.
    bool Form_Load(const QString &portName, QString *errorMessage);
    void Image2_Click();

    // The font of the captions and read-outs, with a substitute where it is missing.
    static QFont captionFont(double pointSize);

Q_SIGNALS:
    // The port or the scene file failed: the panel cannot go on.
    void failed(const QString &message);
    // Something the operator should know; the panel carries on.
    void warned(const QString &message);

private:
    void createControls();
    void wireHandlers();
    // F1..F12 recall scenes 1..12 as their buttons do; Shift with them stores one.
    void addSceneKeys();
    void storeScene(int sceneNumber);
    void applyTabOrder(std::vector<std::pair<int, QWidget *>> stops);

    Module1 &m_state;
    SerialLink &m_link;
    const SceneFile &m_scenes;

    PanelControls m_controls;
    std::array<QPushButton *, Board::ChannelCount> m_command1{};
    std::array<QPushButton *, Board::ChannelCount> m_command2{};
    QPushButton *m_command3 = nullptr;
    QPushButton *m_command4 = nullptr;
    QPushButton *m_command5 = nullptr;
    ImageControl *m_image2 = nullptr;
    std::array<QPushButton *, Board::SceneCount> m_option1{};
    std::array<QPushButton *, Board::ModeCount> m_option2{};
    Form2 *m_form2 = nullptr;

    LightingControl m_lighting;
    SceneRecall m_recall;
    SceneDownload m_download;
    SceneSave m_save;
    FramePacer m_framePacer{this};
};
