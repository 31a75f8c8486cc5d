#pragma once

#include <QLineEdit>

// The text box that shows a level. A master drag rewrites all nine read-outs at each
// position, and drawing the box's rounded frame and the Ming digits costs far more than
// copying a picture of them; a read-out shows at most a hundred texts, so while it is not
// being used (no focus, no mouse, no selection) a picture of each text it has shown is
// kept and copied.
class ReadOut : public QLineEdit
{
    Q_OBJECT

public:
    ReadOut(const QString &text, QWidget *parent);

    // Shows a level's text, its picture ready before the next paint: the nine read-outs of
    // a master move all show the same text, and the first one's picture serves the others.
    void showText(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    bool isIdle() const;
    QString pictureKey() const;
    void keepPicture();

    mutable QString m_keyPrefix; // all the picture depends on but the text; empty: unknown
    bool m_drawing = false;
    bool m_keepPending = false;
};
