#include "form2.h"

#include "control/desk.h"
#include "ui/form2table.h"
#include "ui/imagecontrol.h"
#include "ui/pictures.h"
#include "ui/scenequestion.h"

#include <QGuiApplication>
#include <QScreen>

Form2::Form2(Desk &desk, QWidget *panel)
    // A dialog of the panel, so that it gets no task-bar entry of its own; it is placed
    // on the screen, not over the panel, as a window without an owner would be.
    : QDialog(panel, Qt::Dialog | Qt::FramelessWindowHint), m_desk(desk)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(Form2Table::ClientWidth / Twips::PerPixel,
                 Form2Table::ClientHeight / Twips::PerPixel);

    auto *image2 = new ImageControl(Pictures::sceneKeyTitle(), false, this);
    image2->setGeometry(Form2Table::Image2.toPixels());
    image2->setObjectName(QStringLiteral("Image2"));
    for (int i = 0; i < Form2Table::KeyCount; ++i) {
        m_image1[i] = new ImageControl(Pictures::sceneKey(i), false, this);
        m_image1[i]->setGeometry(Form2Table::Image1(i).toPixels());
        m_image1[i]->setObjectName(QStringLiteral("Image1_%1").arg(i));
        connect(m_image1[i], &ImageControl::clicked, this, [this, i] { Image1_Click(i); });
    }
    auto *image3 = new ImageControl(Pictures::closeImage(), false, this);
    image3->setGeometry(Form2Table::Image3.toPixels());
    image3->setObjectName(QStringLiteral("Image3"));
    connect(image3, &ImageControl::clicked, this, &Form2::Image3_Click);
}

int Form2::exec()
{
    if (!m_placed) {
        // Centred on the screen once; with no title bar it stays there afterwards.
        const QScreen *screen =
            parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
        m_placed = true;
    }
    return QDialog::exec();
}

void Form2::Image1_Click(int Index)
{
    const int n = Index + 1;
    if (SceneQuestion::askToStore(this, n, frameGeometry()))
        m_desk.apply(
            Intent{Intent::Kind::Store, n, 0, std::nullopt, Source{Source::Kind::Window, 0}});
}

void Form2::Image3_Click()
{
    // Hiding ends the modal showing; the panel's Image2_Click then returns. Modality is
    // what kept the panel from taking input, so enabling it only confirms its state.
    hide();
    if (parentWidget()) {
        parentWidget()->setEnabled(true);
        // The panel takes clicks only as the active window; without a window manager
        // nobody else would give it back the focus.
        parentWidget()->activateWindow();
    }
}

void Form2::reject() { Image3_Click(); }
