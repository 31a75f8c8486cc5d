#include "form2.h"

#include "scenes/scenesave.h"
#include "ui/form2table.h"
#include "ui/imagecontrol.h"
#include "ui/pictures.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

Form2::Form2(SceneSave &save, QWidget *panel)
    // A dialog of the panel, so that it gets no task-bar entry of its own; it is placed
    // on the screen, not over the panel, as a window without an owner would be.
    : QDialog(panel, Qt::Dialog | Qt::FramelessWindowHint), m_save(save)
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
    if (askToStore(n))
        m_save.store(n);
}

bool Form2::askToStore(int sceneNumber)
{
    QMessageBox question(QMessageBox::Warning, SceneSave::questionTitle(),
                         SceneSave::prompt(sceneNumber), QMessageBox::Yes | QMessageBox::No, this);
    question.setDefaultButton(QMessageBox::No);
    question.setEscapeButton(QMessageBox::No);
    placeBesideKeys(question);
    const bool yes = question.exec() == QMessageBox::Yes;
    activateWindow();
    return yes;
}

void Form2::placeBesideKeys(QMessageBox &question) const
{
    // Centred over this window, the question's buttons would cover scene keys: a quick
    // second click on Yes would then land on a key and ask to store a scene nobody
    // chose. Below the window, else above it, a click that goes through hits no key.
    question.adjustSize();
    const QSize size = question.sizeHint().expandedTo(question.size());
    const QRect keys = frameGeometry();
    const QRect screen = this->screen()->availableGeometry();
    constexpr int Gap = 12;
    QRect place(QPoint(), size);
    place.moveLeft(keys.center().x() - size.width() / 2);
    if (keys.bottom() + Gap + size.height() <= screen.bottom())
        place.moveTop(keys.bottom() + Gap);
    else if (keys.top() - Gap - size.height() >= screen.top())
        place.moveBottom(keys.top() - Gap);
    else if (keys.right() + Gap + size.width() <= screen.right())
        place.moveTopLeft({keys.right() + Gap, keys.top()});
    else
        place.moveTopRight({keys.left() - Gap, keys.top()});
    question.move(place.topLeft());
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
