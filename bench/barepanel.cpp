// The yardstick for the panel's start-up: a bare Qt window of the panel's size with the
// same kinds and numbers of widgets in the same font (labels, scroll bars, read-outs,
// buttons, two frames of twelve buttons, a spin box), and nothing else: no desk, no line,
// no files, no remote control.
//
//   bench_bare_panel

#include <QApplication>
#include <QDoubleSpinBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QWidget window;
    window.setWindowTitle(QStringLiteral("Form1"));
    window.resize(835, 681);
    QFont caption(QStringLiteral("AR PL UMing TW"));
    caption.setPointSizeF(9);
    caption.setBold(true);
    QFont digits = caption;
    digits.setPointSizeF(15.75);
    for (int i = 0; i < 9; ++i) {
        const int x = 56 + 72 * i;
        auto *label = new QLabel(QStringLiteral("調光一"), &window);
        label->setFont(caption);
        label->setGeometry(x, 24, 41, 25);
        new QScrollBar(Qt::Vertical, &window);
        window.findChildren<QScrollBar *>().last()->setGeometry(x, 56, 41, 201);
        auto *readOut = new QLineEdit(QStringLiteral("0"), &window);
        readOut->setFont(digits);
        readOut->setGeometry(x, 272, 41, 33);
        (new QPushButton(QStringLiteral("全開"), &window))->setGeometry(x, 336, 41, 41);
        (new QPushButton(QStringLiteral("全關"), &window))->setGeometry(x, 392, 41, 41);
    }
    for (int k = 0; k < 5; ++k)
        (new QPushButton(QStringLiteral("傳送設定"), &window))
            ->setGeometry(752, 56 + 56 * k, 49, 41);
    (new QDoubleSpinBox(&window))->setGeometry(744, 140, 59, 30);
    for (int row = 0; row < 2; ++row) {
        auto *frame = new QGroupBox(QStringLiteral("傳送資料"), &window);
        frame->setGeometry(56, 464 + 104 * row, 705, 81);
        for (int i = 0; i < 12; ++i)
            (new QPushButton(QString::number(i + 1), frame))->setGeometry(24 + 56 * i, 24, 49, 41);
    }
    auto *line = new QLabel(QStringLiteral("Line /dev/ttyS3: up"), &window);
    line->setGeometry(56, 646, 380, 27);
    window.show();
    return QApplication::exec();
}
