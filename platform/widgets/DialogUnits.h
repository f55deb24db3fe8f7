#pragma once

#include <QFont>
#include <QRect>
#include <cstdint>

class QWidget;

namespace Platform_ns {

// Converts the dialog units of the window layouts into pixels. The base units come from
// a font: horizontally the average width of the 52 Latin letters, vertically the font
// height; x dialog units are x * baseX / 4 pixels, y units y * baseY / 8 pixels.
class DialogUnits_cl {
public:
    DialogUnits_cl();  // the application font
    explicit DialogUnits_cl(const QFont& font);

    int32_t BaseX() const { return baseX; }
    int32_t BaseY() const { return baseY; }
    int32_t X(int32_t units) const;
    int32_t Y(int32_t units) const;
    QRect Rect(int32_t x, int32_t y, int32_t width, int32_t height) const;
    // Puts widget at the rectangle given in dialog units. A combo box's rectangle
    // includes its drop-down list, so the box itself keeps its natural height.
    void Place(QWidget* widget, int32_t x, int32_t y, int32_t width, int32_t height) const;

private:
    int32_t baseX;
    int32_t baseY;
};

}  // namespace Platform_ns
