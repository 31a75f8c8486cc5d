#pragma once

#include "ui/form2table.h"

#include <QDialog>

#include <array>

class Desk;
class ImageControl;

// The scene key window: twelve keys that store the panel's levels as scenes 1..12,
// each after a confirmation, and a close image. Frameless and modal; created once and
// shown again at every opening. Its pictures are named "Image1_0".."Image1_11",
// "Image2" and "Image3".
class Form2 : public QDialog
{
    Q_OBJECT

public:
    Form2(Desk &desk, QWidget *panel);

    // Shows the window modally and returns when it has been hidden again.
    int exec() override;

    void Image1_Click(int Index);
    void Image3_Click();

    // Escape and every other close request end the same way as the close image.
    void reject() override;

private:
    Desk &m_desk;
    std::array<ImageControl *, Form2Table::KeyCount> m_image1{};
    bool m_placed = false;
};
