#pragma once

#include <QRect>

// Window geometry is given in twips, 1/1440 inch: 15 twips to the pixel at 96 dpi.
struct Twips
{
    int left;
    int top;
    int width;
    int height;

    static constexpr int PerPixel = 15;

    constexpr QRect toPixels() const
    {
        return QRect(left / PerPixel, top / PerPixel, width / PerPixel, height / PerPixel);
    }
};
