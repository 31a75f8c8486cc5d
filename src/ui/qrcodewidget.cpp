#include "qrcodewidget.h"

#include <QPainter>

namespace {

constexpr int QuietZone = 4;

} // namespace

QrCodeWidget::QrCodeWidget(QWidget *parent) : QWidget(parent) { setMinimumSize(180, 180); }

void QrCodeWidget::setModules(Modules modules)
{
    m_modules = std::move(modules);
    update();
}

QSize QrCodeWidget::sizeHint() const { return {300, 300}; }

void QrCodeWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const int count = int(m_modules.size());
    if (count == 0)
        return;
    const int side = count + 2 * QuietZone;
    // Whole pixels a module, so that no module blurs into its neighbour.
    const int pixels = std::max(1, std::min(width(), height()) / side);
    const int left = (width() - side * pixels) / 2 + QuietZone * pixels;
    const int top = (height() - side * pixels) / 2 + QuietZone * pixels;
    for (int y = 0; y < count; ++y) {
        const std::vector<bool> &row = m_modules[std::size_t(y)];
        for (int x = 0; x < int(row.size()); ++x) {
            if (row[std::size_t(x)])
                painter.fillRect(left + x * pixels, top + y * pixels, pixels, pixels, Qt::black);
        }
    }
}
