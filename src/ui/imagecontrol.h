#pragma once

#include <QLabel>

// A picture that answers a click, as the image controls of the panel's windows do:
// pressed and released over it with the left button. It takes no keyboard focus.
class ImageControl : public QLabel
{
    Q_OBJECT

public:
    ImageControl(const QString &picture, bool stretch, QWidget *parent);

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};
