#include "form1.h"

#include "control/levelslider.h"
#include "link/seriallink.h"
#include "ui/clickguard.h"
#include "ui/form1table.h"
#include "ui/form2.h"
#include "ui/imagecontrol.h"
#include "ui/optionbutton.h"
#include "ui/pictures.h"
#include "ui/readout.h"
#include "ui/scenequestion.h"

#include <QFont>
#include <QFontDatabase>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>

namespace {

QString text(const char *utf8) { return QString::fromUtf8(utf8); }

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

Form1::Form1(Module1 &state, SerialLink &link, const SceneFile &scenes, QWidget *parent)
    : QWidget(parent), m_state(state), m_link(link), m_scenes(scenes),
      m_lighting(m_state, m_link, m_controls), m_recall(m_state, m_scenes, m_controls),
      m_download(m_scenes, m_link), m_save(m_state, m_scenes)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    // A click that falls through a window closing under the pointer acts on nothing.
    qApp->installEventFilter(new ClickGuard(this));
    setWindowIcon(QIcon(Pictures::programIcon()));
    // No layout: resizing the window moves nothing, as on the board's original panel.
    resize(Form1Table::ClientWidth / Twips::PerPixel, Form1Table::ClientHeight / Twips::PerPixel);
    createControls();
    wireHandlers();
    addSceneKeys();
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

    for (int i = 0; i < T::LabelCount; ++i) {
        m_controls.Label1[i] =
            place(new QLabel(text(T::Label1Text[i]), this), T::Label1(i), "Label1", i);
        m_controls.Label1[i]->setFont(captionFont(T::Label1PointSize(i)));
        m_controls.Label1[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }

    auto readOut = [this](const Twips &where, const char *name, int index) {
        auto *box = place(new ReadOut(text(T::ReadOutInitialText), this), where, name, index);
        box->setFont(captionFont(T::ReadOutPointSize));
        box->setAlignment(Qt::AlignLeft);
        return box;
    };
    for (int i = 0; i < Board::ChannelCount; ++i) {
        m_controls.VScroll1[i] = place(new LevelSlider(this), T::VScroll1(i), "VScroll1", i);
        m_controls.VScroll1[i]->setSteps(T::ChannelArrowStep, T::ChannelTrackStep);
        m_controls.Text1[i] = readOut(T::Text1(i), "Text1", i);
        m_command1[i] =
            place(new QPushButton(text(T::FullOnText), this), T::Command1(i), "Command1", i);
        m_command2[i] =
            place(new QPushButton(text(T::OffText), this), T::Command2(i), "Command2", i);
        stops.insert(stops.end(), {{T::VScroll1Tab[i], m_controls.VScroll1[i]},
                                   {T::Text1Tab[i], m_controls.Text1[i]},
                                   {T::Command1Tab[i], m_command1[i]},
                                   {T::Command2Tab[i], m_command2[i]}});
    }

    m_controls.VScroll2 = place(new LevelSlider(this), T::VScroll2, "VScroll2");
    m_controls.VScroll2->setSteps(T::MasterArrowStep, T::MasterTrackStep);
    m_controls.Text2 = readOut(T::Text2, "Text2", -1);
    m_command3 = place(new QPushButton(text(T::FullOnText), this), T::Command3, "Command3");
    m_command4 = place(new QPushButton(text(T::OffText), this), T::Command4, "Command4");
    m_command5 = place(new QPushButton(text(T::Command5Text), this), T::Command5, "Command5");
    m_image2 = place(new ImageControl(Pictures::storeImage(), true, this), T::Image2, "Image2");
    m_image2->setToolTip(text(T::Image2ToolTip));

    auto *frame1 = place(new QGroupBox(text(T::Frame1Text), this), T::Frame1, "Frame1");
    auto *frame2 = place(new QGroupBox(text(T::Frame2Text), this), T::Frame2, "Frame2");
    for (int i = 0; i < T::OptionCount; ++i) {
        m_option1[i] = optionButton("Option1", i, frame1);
        m_option2[i] = optionButton("Option2", i, frame2);
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
    for (int i = 0; i < Board::ChannelCount; ++i) {
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

    // What went wrong below goes up to whoever runs the panel.
    connect(&m_recall, &SceneRecall::failed, this, &Form1::failed);
    connect(&m_recall, &SceneRecall::refused, this, &Form1::warned);
    connect(&m_save, &SceneSave::failed, this, &Form1::failed);
    connect(&m_download, &SceneDownload::failed, this, &Form1::failed);
}

void Form1::addSceneKeys()
{
    // Wherever the focus is in the panel, and never while the scene key window or a
    // question is up: those are modal, and the panel's window is then not active.
    for (int i = 0; i < Form1Table::OptionCount; ++i) {
        const auto key = Qt::Key(Qt::Key_F1 + i);
        auto *recall = new QShortcut(QKeySequence(key), this);
        recall->setObjectName(QStringLiteral("recallScene_%1").arg(i + 1));
        connect(recall, &QShortcut::activated, m_option1[i], &QAbstractButton::click);
        auto *store = new QShortcut(QKeySequence(Qt::SHIFT | key), this);
        store->setObjectName(QStringLiteral("storeScene_%1").arg(i + 1));
        connect(store, &QShortcut::activated, this, [this, i] { storeScene(i + 1); });
    }
}

void Form1::storeScene(int sceneNumber)
{
    // The scene key window's question, without the window.
    if (SceneQuestion::askToStore(this, sceneNumber, QRect()))
        m_save.store(sceneNumber);
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
