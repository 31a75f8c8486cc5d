#pragma once

#include <QWidget>

#include <vector>

// A QR code, drawn module by module in black on white with the quiet zone of four modules
// that a reader needs around it, as large as the widget allows in whole pixels a module.
class QrCodeWidget : public QWidget
{
    Q_OBJECT

public:
    using Modules = std::vector<std::vector<bool>>; // rows, true for dark

    explicit QrCodeWidget(QWidget *parent = nullptr);

    void setModules(Modules modules);
    const Modules &modules() const { return m_modules; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Modules m_modules;
};
