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
    const QFontMetricsF metrics(font);
    const double average = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52;
    EXPECT_LE(std::abs(units.BaseX() - average), 0.6);
    EXPECT_EQ(units.BaseY(), QFontMetrics(font).height());
    EXPECT_EQ(units.X(4), units.BaseX());
    EXPECT_EQ(units.Y(8), units.BaseY());
}

TEST(DialogUnits, ConvertsAndRoundsPositions) {
    QFont font;
    font.setPixelSize(13);
    const DialogUnits_cl units(font);
    const int bx = units.BaseX();
    const int by = units.BaseY();
    EXPECT_EQ(units.X(7), int(std::lround(7.0 * bx / 4)));
    EXPECT_EQ(units.Y(125), int(std::lround(125.0 * by / 8)));
    EXPECT_EQ(units.Rect(7, 7, 207, 141), QRect(units.X(7), units.Y(7), units.X(207), units.Y(141)));
    // A larger font gives larger windows.
    font.setPixelSize(26);
    EXPECT_GT(DialogUnits_cl(font).X(100), units.X(100));
}

TEST(DialogUnits, ApplicationFontByDefault) {
    const DialogUnits_cl units;
    EXPECT_EQ(units.BaseY(), QFontMetrics(QApplication::font()).height());
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
