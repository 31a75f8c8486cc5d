#pragma once

#include <QDialog>

#include <array>

class ImageControl;
class SceneSave;

// The scene key window: twelve keys that store the panel's levels as scenes 1..12,
// each after a confirmation, and a close image. Frameless and modal; created once and
// shown again at every opening.
class Form2 : public QDialog
{
    Q_OBJECT

public:
    Form2(SceneSave &save, QWidget *panel);

    // Shows the window modally and returns when it has been hidden again.
    int exec() override;

    void Image1_Click(int Index);
    void Image3_Click();

    ImageControl *Image1(int i) const { return m_image1[i]; }
    ImageControl *Image2() const { return m_image2; }
    ImageControl *Image3() const { return m_image3; }

    // Escape and every other close request end the same way as the close image.
    void reject() override;

private:
    bool askToStore(int sceneNumber);

    SceneSave &m_save;
    std::array<ImageControl *, 12> m_image1{};
    ImageControl *m_image2 = nullptr;
    ImageControl *m_image3 = nullptr;
    bool m_placed = false;
};
