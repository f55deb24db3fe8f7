#include "SystemInfo/AutoSize.h"

#include "support/Raised.h"

#include <QWidget>
#include <gtest/gtest.h>

using SystemInfo_ns::AutoSize_cl;

namespace {

// A window that hands its size changes to its auto layout, as every page does.
class Owner_cl : public QWidget {
public:
    AutoSize_cl autoSize;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        autoSize.Resize();
    }
};

struct AutoSizeTest : ::testing::Test {
    AutoSizeTest() {
        owner.resize(400, 300);
        child.setGeometry(10, 20, 100, 50);
    }
    // Registers the owner and, with the given modes and shares, the child; then grows
    // or shrinks the owner by dW, dH and lays out.
    QRect Follow(int32_t hMode, int32_t vMode, double hShare, double vShare, int dW, int dH) {
        layout.Register(&owner);
        layout.AddChildAligned(&child, hMode, vMode, hShare, vShare);
        layout.Resize();  // the window's first size event: nothing has changed yet
        owner.resize(400 + dW, 300 + dH);
        layout.Resize();
        return child.geometry();
    }

    QWidget owner;
    QWidget child{&owner};
    AutoSize_cl layout;
};

}  // namespace

TEST_F(AutoSizeTest, ModeZeroWithFullShareStretchesBothWays) {
    EXPECT_EQ(Follow(0, 0, 1, 1, 100, 40), QRect(10, 20, 200, 90));
}

TEST_F(AutoSizeTest, FarAnchorMovesWithoutResizing) {
    EXPECT_EQ(Follow(2, 2, 0, 0, 100, 40), QRect(110, 60, 100, 50));
}

TEST_F(AutoSizeTest, KeepPlaceAndFollowTheBottom) {
    EXPECT_EQ(Follow(0, 2, 0, 0, 100, 40), QRect(10, 60, 100, 50));
}

TEST_F(AutoSizeTest, FarAnchorWithFullShareAlsoStretches) {
    EXPECT_EQ(Follow(0, 2, 1, 1, 100, 40), QRect(10, 20, 200, 90));
}

TEST_F(AutoSizeTest, CentredChildTakesHalfOfTheGrowth) {
    // Each edge moves by a quarter of the growth; the size grows by half of it.
    EXPECT_EQ(Follow(1, 1, 0.5, 0.5, 100, 40), QRect(35, 30, 150, 70));
}

TEST_F(AutoSizeTest, ShrinkingGivesNegativeGrowthTruncatedTowardsZero) {
    layout.Register(&owner);
    layout.AddChild(&child, 0.5, 0, 1, 1);
    owner.resize(397, 290);
    layout.Resize();
    // Left: 10 + trunc(0.5 * -3) = 9; right: 110 - 3 = 107.
    EXPECT_EQ(child.geometry(), QRect(9, 20, 98, 40));
}

TEST_F(AutoSizeTest, MinimumSizeStopsShrinking) {
    layout.Register(&owner, 380, 290);
    layout.AddChildAligned(&child, 0, 0, 1, 1);
    owner.resize(300, 200);
    layout.Resize();
    EXPECT_EQ(child.geometry(), QRect(10, 20, 80, 40));
    owner.resize(390, 295);  // above the minimum the real size counts again
    layout.Resize();
    EXPECT_EQ(child.geometry(), QRect(10, 20, 90, 45));
}

TEST_F(AutoSizeTest, EveryResizeStartsFromTheRegisteredPlaces) {
    QWidget second(&owner);
    second.setGeometry(300, 250, 60, 30);
    layout.Register(&owner);
    layout.AddChild(&child, 0, 0, 1, 1);
    layout.AddChild(&second, 1, 1, 1, 1);
    owner.resize(500, 400);
    layout.Resize();
    owner.resize(450, 350);
    layout.Resize();
    EXPECT_EQ(child.geometry(), QRect(10, 20, 150, 100));
    EXPECT_EQ(second.geometry(), QRect(350, 300, 60, 30));
}

TEST_F(AutoSizeTest, RatiosMustLieWithinZeroAndOne) {
    layout.Register(&owner);
    EXPECT_EQ(RaisedMessage([&] { layout.AddChild(&child, 0, 0, 1.0000001, 0); }), QStringLiteral("比例应该在0和1之间。"));
    EXPECT_EQ(RaisedMessage([&] { layout.AddChild(&child, -0.1, 0, 1, 0); }), QStringLiteral("比例应该在0和1之间。"));
    EXPECT_EQ(RaisedMessage([&] { layout.AddChildAligned(&child, 0, 0, 1.5, 0); }), QStringLiteral("比例应该在0和1之间。"));
    EXPECT_EQ(RaisedMessage([&] { layout.AddChild(&child, 0, 1, 1, 0); }), QStringLiteral("(nothing raised)"));
}

TEST_F(AutoSizeTest, RefusesUnknownModesMissingChildAndMissingOwner) {
    EXPECT_EQ(RaisedMessage([&] { layout.AddChild(&child, 0, 0, 1, 1); }), QStringLiteral("没有初始化该控件。"));
    layout.Register(&owner);
    EXPECT_EQ(RaisedMessage([&] { layout.AddChildAligned(&child, 3, 0, 0, 0); }), QStringLiteral("未知对齐方式。"));
    EXPECT_EQ(RaisedMessage([&] { layout.AddChildAligned(&child, 0, -1, 0, 0); }), QStringLiteral("未知对齐方式。"));
    EXPECT_EQ(RaisedMessage([&] { layout.AddChild(nullptr, 0, 0, 1, 1); }), QStringLiteral("空指针。"));
}

TEST(AutoSize, OnlyTheFirstSizeEventBeforeRegistrationIsIgnored) {
    AutoSize_cl layout;
    EXPECT_EQ(RaisedMessage([&] { layout.Resize(); }), QStringLiteral("(nothing raised)"));
    EXPECT_EQ(RaisedMessage([&] { layout.Resize(); }), QStringLiteral("空指针。"));
}

TEST(AutoSize, SizeChangedWhileHiddenIsAppliedWhenShown) {
    // Qt delivers the size event of a hidden window only when it is shown; that first
    // event after registration carries a real change and must move the children.
    Owner_cl owner;
    owner.resize(400, 300);
    QWidget button(&owner);
    button.setGeometry(10, 250, 80, 30);
    owner.autoSize.Register(&owner);
    owner.autoSize.AddChildAligned(&button, 0, 2, 0, 0);
    owner.resize(400, 360);
    EXPECT_EQ(button.geometry(), QRect(10, 250, 80, 30));
    owner.show();
    EXPECT_EQ(button.geometry(), QRect(10, 310, 80, 30));
}

TEST(AutoSize, ChildrenOfNestedWidgetsStayInTheirParentsCoordinates) {
    QWidget owner;
    owner.resize(400, 300);
    QWidget frame(&owner);
    frame.setGeometry(50, 40, 300, 200);
    QWidget inner(&frame);
    inner.setGeometry(5, 5, 20, 20);
    AutoSize_cl layout;
    layout.Register(&owner);
    layout.AddChild(&inner, 1, 1, 1, 1);
    owner.resize(410, 320);
    layout.Resize();
    EXPECT_EQ(inner.geometry(), QRect(15, 25, 20, 20));
}

TEST(AutoSize, DestroyedChildIsPassedOver) {
    QWidget owner;
    owner.resize(400, 300);
    auto* gone = new QWidget(&owner);
    QWidget kept(&owner);
    kept.setGeometry(0, 0, 10, 10);
    AutoSize_cl layout;
    layout.Register(&owner);
    layout.AddChild(gone, 0, 0, 1, 1);
    layout.AddChild(&kept, 0, 0, 1, 1);
    delete gone;
    owner.resize(420, 300);
    layout.Resize();
    EXPECT_EQ(kept.geometry(), QRect(0, 0, 30, 10));
}
