#pragma once

#include "protocol/boardnumbers.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

// One of the board's lamps: a disc that glows from dark to bright yellow as its level
// goes from 0 to 99, with its name above and the level written below, so that a person
// reads the board at a glance.
class LampWidget : public QWidget
{
    Q_OBJECT

public:
    static constexpr int MaximumLevel = Board::FullOn;

    LampWidget(const QString &caption, QWidget *parent);

    int level() const { return m_level; }
    void setLevel(int level);
    // The ring that sets the master apart from the channels.
    void setRingColor(const QColor &color);

    // The disc's colour at a level: the same scale for every lamp.
    static QColor colorAt(int level);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QFont captionFont() const;

    QString m_caption;
    QColor m_ring;
    int m_level = 0;
};
