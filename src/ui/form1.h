#pragma once

#include "control/lightingcontrol.h"
#include "control/panelcontrols.h"
#include "link/scenedownload.h"
#include "scenes/scenerecall.h"
#include "scenes/scenesave.h"

#include <QWidget>

#include <array>
#include <utility>
#include <vector>

class Form2;
class ImageControl;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The panel: eight channel columns and the master column, the send-settings button,
// the store image, and the scene and mode buttons, at the fixed places of the board's
// original panel. It wires each control event to its handler and owns nothing else.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    Form1(Module1 &state, SerialLink &link, const SceneFile &scenes, const ErrorReport &report,
          QWidget *parent = nullptr);
    ~Form1() override;

    // Opens the board's serial port; false with the reason when it cannot.
    bool Form_Load(const QString &portName, QString *errorMessage);
    void Image2_Click();

    // The font of the captions and read-outs, with a substitute where it is missing.
    static QFont captionFont(double pointSize);

    QLabel *Label1(int i) const { return m_label1[i]; }
    LevelSlider *VScroll1(int i) const { return m_controls.VScroll1[i]; }
    QLineEdit *Text1(int i) const { return m_controls.Text1[i]; }
    QPushButton *Command1(int i) const { return m_command1[i]; }
    QPushButton *Command2(int i) const { return m_command2[i]; }
    LevelSlider *VScroll2() const { return m_controls.VScroll2; }
    QLineEdit *Text2() const { return m_controls.Text2; }
    QPushButton *Command3() const { return m_command3; }
    QPushButton *Command4() const { return m_command4; }
    QPushButton *Command5() const { return m_command5; }
    ImageControl *Image2() const { return m_image2; }
    QGroupBox *Frame1() const { return m_frame1; }
    QGroupBox *Frame2() const { return m_frame2; }
    QPushButton *Option1(int i) const { return m_option1[i]; }
    QPushButton *Option2(int i) const { return m_option2[i]; }
    Form2 *scenesWindow() const { return m_form2; }

private:
    void createControls();
    void wireHandlers();
    void applyTabOrder(std::vector<std::pair<int, QWidget *>> stops);

    Module1 &m_state;
    SerialLink &m_link;
    const SceneFile &m_scenes;
    const ErrorReport &m_report;

    PanelControls m_controls;
    std::array<QLabel *, 9> m_label1{};
    std::array<QPushButton *, 8> m_command1{};
    std::array<QPushButton *, 8> m_command2{};
    QPushButton *m_command3 = nullptr;
    QPushButton *m_command4 = nullptr;
    QPushButton *m_command5 = nullptr;
    ImageControl *m_image2 = nullptr;
    QGroupBox *m_frame1 = nullptr;
    QGroupBox *m_frame2 = nullptr;
    std::array<QPushButton *, 12> m_option1{};
    std::array<QPushButton *, 12> m_option2{};
    Form2 *m_form2 = nullptr;

    LightingControl m_lighting;
    SceneRecall m_recall;
    SceneDownload m_download;
    SceneSave m_save;
};
