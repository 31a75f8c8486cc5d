#include "form1.h"

#include "control/levelslider.h"
#include "link/seriallink.h"
#include "ui/form1table.h"
#include "ui/form2.h"
#include "ui/imagecontrol.h"
#include "ui/pictures.h"

#include <QFont>
#include <QFontDatabase>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace {

QString text(const char *utf8) { return QString::fromUtf8(utf8); }

template<typename Widget> Widget *place(Widget *widget, const Twips &where)
{
    widget->setGeometry(where.toPixels());
    return widget;
}

QPushButton *optionButton(int i, QGroupBox *frame)
{
    // Drawn as a push button that stays pressed while selected; the frame is its group.
    auto *button =
        place(new QPushButton(QString::number(i + 1), frame), Form1Table::OptionButton(i));
    button->setCheckable(true);
    button->setAutoExclusive(true);
    return button;
}

} // namespace

Form1::Form1(Module1 &state, SerialLink &link, const SceneFile &scenes, const ErrorReport &report,
             QWidget *parent)
    : QWidget(parent), m_state(state), m_link(link), m_scenes(scenes), m_report(report),
      m_lighting(m_state, m_link, m_controls), m_recall(m_state, m_scenes, m_controls, m_report),
      m_download(m_scenes, m_link, m_report), m_save(m_state, m_scenes, m_report)
{
    setWindowTitle(QStringLiteral("Form1"));
    setWindowIcon(QIcon(Pictures::programIcon()));
    // No layout: resizing the window moves nothing, as on the board's original panel.
    resize(Form1Table::ClientWidth / Twips::PerPixel, Form1Table::ClientHeight / Twips::PerPixel);
    createControls();
    wireHandlers();
    m_controls.VScroll1[0]->setFocus();
}

Form1::~Form1() = default;

QFont Form1::captionFont(double pointSize)
{
    // The panel's Ming typeface is rarely installed outside Taiwan; take the first Ming
    // face that is. Naming it directly, rather than through a font substitution, spares
    // the font system a fallback search for the missing family at every start.
    static const QString family = [] {
        const QStringList ming = {text(Form1Table::CaptionFont), QStringLiteral("PMingLiU"),
                                  QStringLiteral("AR PL UMing TW"),
                                  QStringLiteral("AR PL New Sung"),
                                  QStringLiteral("Noto Serif CJK TC")};
        for (const QString &candidate : ming) {
            if (QFontDatabase::hasFamily(candidate))
                return candidate;
        }
        return ming.first();
    }();
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Bold);
    return font;
}

void Form1::createControls()
{
    namespace T = Form1Table;
    std::vector<std::pair<int, QWidget *>> stops;

    for (int i = 0; i < 9; ++i) {
        m_label1[i] = place(new QLabel(text(T::Label1Text[i]), this), T::Label1(i));
        m_label1[i]->setFont(captionFont(T::Label1PointSize(i)));
        m_label1[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }

    auto readOut = [this](const Twips &where) {
        auto *box = place(new QLineEdit(text(T::ReadOutInitialText), this), where);
        box->setFont(captionFont(T::ReadOutPointSize));
        box->setAlignment(Qt::AlignLeft);
        return box;
    };
    for (int i = 0; i < T::ChannelCount; ++i) {
        m_controls.VScroll1[i] = place(new LevelSlider(this), T::VScroll1(i));
        m_controls.VScroll1[i]->setSteps(T::ChannelArrowStep, T::ChannelTrackStep);
        m_controls.Text1[i] = readOut(T::Text1(i));
        m_command1[i] = place(new QPushButton(text(T::FullOnText), this), T::Command1(i));
        m_command2[i] = place(new QPushButton(text(T::OffText), this), T::Command2(i));
        stops.insert(stops.end(), {{T::VScroll1Tab[i], m_controls.VScroll1[i]},
                                   {T::Text1Tab[i], m_controls.Text1[i]},
                                   {T::Command1Tab[i], m_command1[i]},
                                   {T::Command2Tab[i], m_command2[i]}});
    }

    m_controls.VScroll2 = place(new LevelSlider(this), T::VScroll2);
    m_controls.VScroll2->setSteps(T::MasterArrowStep, T::MasterTrackStep);
    m_controls.Text2 = readOut(T::Text2);
    m_command3 = place(new QPushButton(text(T::FullOnText), this), T::Command3);
    m_command4 = place(new QPushButton(text(T::OffText), this), T::Command4);
    m_command5 = place(new QPushButton(text(T::Command5Text), this), T::Command5);
    m_image2 = place(new ImageControl(Pictures::storeImage(), true, this), T::Image2);
    m_image2->setToolTip(text(T::Image2ToolTip));

    m_frame1 = place(new QGroupBox(text(T::Frame1Text), this), T::Frame1);
    m_frame2 = place(new QGroupBox(text(T::Frame2Text), this), T::Frame2);
    for (int i = 0; i < T::OptionCount; ++i) {
        m_option1[i] = optionButton(i, m_frame1);
        m_option2[i] = optionButton(i, m_frame2);
        stops.insert(stops.end(),
                     {{T::Option1Tab(i), m_option1[i]}, {T::Option2Tab(i), m_option2[i]}});
    }
    stops.insert(stops.end(), {{T::VScroll2Tab, m_controls.VScroll2},
                               {T::Text2Tab, m_controls.Text2},
                               {T::Command3Tab, m_command3},
                               {T::Command4Tab, m_command4},
                               {T::Command5Tab, m_command5}});
    applyTabOrder(std::move(stops));
}

void Form1::applyTabOrder(std::vector<std::pair<int, QWidget *>> stops)
{
    std::sort(stops.begin(), stops.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    for (std::size_t k = 1; k < stops.size(); ++k)
        QWidget::setTabOrder(stops[k - 1].second, stops[k].second);
}

void Form1::wireHandlers()
{
    LightingControl *lighting = &m_lighting;
    for (int i = 0; i < Form1Table::ChannelCount; ++i) {
        connect(m_controls.VScroll1[i], &LevelSlider::levelChanged, lighting,
                [lighting, i] { lighting->VScroll1_Change(i); });
        connect(m_controls.VScroll1[i], &LevelSlider::levelScrolled, lighting,
                [lighting, i] { lighting->VScroll1_Scroll(i); });
        connect(m_command1[i], &QPushButton::clicked, lighting,
                [lighting, i] { lighting->Command1_Click(i); });
        connect(m_command2[i], &QPushButton::clicked, lighting,
                [lighting, i] { lighting->Command2_Click(i); });
    }
    connect(m_controls.VScroll2, &LevelSlider::levelChanged, lighting,
            &LightingControl::VScroll2_Change);
    connect(m_controls.VScroll2, &LevelSlider::levelScrolled, lighting,
            &LightingControl::VScroll2_Scroll);
    connect(m_command3, &QPushButton::clicked, lighting, &LightingControl::Command3_Click);
    connect(m_command4, &QPushButton::clicked, lighting, &LightingControl::Command4_Click);
    connect(m_command5, &QPushButton::clicked, &m_download, &SceneDownload::Command5_Click);
    SceneRecall *recall = &m_recall;
    for (int i = 0; i < Form1Table::OptionCount; ++i) {
        connect(m_option1[i], &QPushButton::clicked, recall,
                [recall, i] { recall->Option1_Click(i); });
        connect(m_option2[i], &QPushButton::clicked, lighting,
                [lighting, i] { lighting->Option2_Click(i); });
    }
    connect(m_image2, &ImageControl::clicked, this, &Form1::Image2_Click);
}

bool Form1::Form_Load(const QString &portName, QString *errorMessage)
{
    return m_link.open(portName, errorMessage);
}

void Form1::Image2_Click()
{
    // One scene key window for the whole run; every later opening shows it again.
    if (!m_form2)
        m_form2 = new Form2(m_save, this);
    m_form2->exec();
}
