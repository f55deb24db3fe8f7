#include "LineWrap.h"

namespace Vorelle_ns {

void LineWrap_cl::Add(QWidget* control) { items.append({control, control->geometry()}); }

int32_t LineWrap_cl::LayOut(int32_t width, int32_t top, int32_t lineHeight, int32_t gap) {
    int32_t x = gap;
    int32_t lines = 0;
    for (const Item_st& item : items) {
        if (item.control.isNull()) continue;
        if (item.placed.right() < width - gap) {
            item.control->setGeometry(item.placed);
            continue;
        }
        if (lines == 0 || x + item.placed.width() > width - gap) {
            ++lines;
            x = gap;
        }
        const int32_t y = top + (lines - 1) * lineHeight + (lineHeight - item.placed.height()) / 2;
        item.control->setGeometry(QRect(QPoint(x, y), item.placed.size()));
        x += item.placed.width() + gap;
    }
    return lines * lineHeight;
}

}  // namespace Vorelle_ns
