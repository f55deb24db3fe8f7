#include "platform/widgets/DialogUnits.h"

#include "support/QtPrinters.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <gtest/gtest.h>

using Platform_ns::DialogUnits_cl;

TEST(DialogUnits, BaseUnitsComeFromTheFont) {
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(12);
    const DialogUnits_cl units(font);
    const double average =
        QFontMetricsF(font).horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52;
    EXPECT_LE(std::abs(units.BaseX() - average), 0.6);
    EXPECT_EQ(units.BaseY(), QFontMetrics(font).height());
    EXPECT_EQ(units.Rect(4, 8, 8, 16), QRect(units.BaseX(), units.BaseY(), 2 * units.BaseX(), 2 * units.BaseY()));
    font.setPixelSize(24);
    EXPECT_GT(DialogUnits_cl(font).X(100), units.X(100));
    EXPECT_EQ(DialogUnits_cl().BaseY(), QFontMetrics(QApplication::font()).height());
}

TEST(DialogUnits, ComboBoxesKeepTheirNaturalHeight) {
    const DialogUnits_cl units;
    QWidget window;
    QLabel label(&window);
    QComboBox combo(&window);
    units.Place(&label, 20, 11, 25, 9);
    units.Place(&combo, 47, 10, 125, 143);
    EXPECT_EQ(label.geometry(), units.Rect(20, 11, 25, 9));
    EXPECT_EQ(combo.geometry(), QRect(units.X(47), units.Y(10), units.X(125), combo.sizeHint().height()));
}
