#include "DialogUnits.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <cmath>

namespace Platform_ns {

namespace {

// units * base / divisor, rounded half away from zero.
int32_t Scale(int32_t units, int32_t base, int32_t divisor) {
    return int32_t(std::lround(double(units) * base / divisor));
}

}  // namespace

DialogUnits_cl::DialogUnits_cl() : DialogUnits_cl(QApplication::font()) {}

DialogUnits_cl::DialogUnits_cl(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    // The average rounded to whole pixels, so that every window of one font lines up.
    baseX = (letters / 26 + 1) / 2;
    baseY = metrics.height();
}

int32_t DialogUnits_cl::X(int32_t units) const { return Scale(units, baseX, 4); }

int32_t DialogUnits_cl::Y(int32_t units) const { return Scale(units, baseY, 8); }

QRect DialogUnits_cl::Rect(int32_t x, int32_t y, int32_t width, int32_t height) const {
    return QRect(X(x), Y(y), X(width), Y(height));
}

void DialogUnits_cl::Place(QWidget* widget, int32_t x, int32_t y, int32_t width, int32_t height) const {
    QRect rect = Rect(x, y, width, height);
    if (const auto* combo = qobject_cast<const QComboBox*>(widget)) rect.setHeight(combo->sizeHint().height());
    widget->setGeometry(rect);
}

}  // namespace Platform_ns
