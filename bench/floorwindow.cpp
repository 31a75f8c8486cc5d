// The toolkit's own floor for a drag: a bare window of the panel's size with nine plain
// scroll bars and nine read-outs where the panel has its sliders and read-outs, and
// nothing else. A drag on the fourth bar shows its value in its read-out ("channel"), or
// sets all nine bars and read-outs to it ("master"), as the panel's view does, and no
// more: no model, no line, no caches.
//
//   bench_floor_window channel|master

#include <QApplication>
#include <QFont>
#include <QLineEdit>
#include <QScrollBar>
#include <QWidget>

#include <array>
#include <cstring>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    const bool master = argc > 1 && std::strcmp(argv[1], "master") == 0;
    QWidget window;
    window.setWindowTitle(QStringLiteral("floor"));
    window.resize(835, 681);
    QFont font(QStringLiteral("AR PL UMing TW"));
    font.setPointSizeF(15.75);
    font.setBold(true);
    std::array<QScrollBar *, 9> bars{};
    std::array<QLineEdit *, 9> readOuts{};
    for (int i = 0; i < 9; ++i) {
        // The panel's columns: 840 + 1080 i twips for a channel, 9960 for the master.
        const int x = (i < 8 ? 840 + 1080 * i : 9960) / 15;
        bars[i] = new QScrollBar(Qt::Vertical, &window);
        bars[i]->setGeometry(x, 56, 41, 201);
        bars[i]->setRange(0, 99);
        bars[i]->setValue(99);
        readOuts[i] = new QLineEdit(QStringLiteral("0"), &window);
        readOuts[i]->setGeometry(x, 272, 41, 33);
        readOuts[i]->setFont(font);
    }
    const int dragged = master ? 8 : 3;
    QObject::connect(bars[dragged], &QScrollBar::valueChanged, &window, [&](int value) {
        const QString text = QLatin1Char(' ') + QString::number(99 - value);
        if (!master) {
            readOuts[dragged]->setText(text);
            return;
        }
        for (int i = 0; i < 9; ++i) {
            bars[i]->setValue(value);
            readOuts[i]->setText(text);
        }
    });
    window.show();
    return QApplication::exec();
}
