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

// A 400 x 300 owner with a child at (10, 20, 100, 50).
struct AutoSizeTest : ::testing::Test {
    AutoSizeTest() {
        owner.resize(400, 300);
        child.setGeometry(10, 20, 100, 50);
        layout.Register(&owner);
    }
    QRect ResizeTo(int width, int height) {
        owner.resize(width, height);
        layout.Resize();
        return child.geometry();
    }

    QWidget owner;
    QWidget child{&owner};
    AutoSize_cl layout;
};

}  // namespace

TEST_F(AutoSizeTest, AlignmentModesOnGrowingBy100And40) {
    struct Case_st {
        int32_t hMode, vMode;
        double hShare, vShare;
        QRect expected;
    };
    const Case_st cases[] = {
        {0, 0, 1, 1, QRect(10, 20, 200, 90)},        // stretch both ways
        {0, 2, 1, 1, QRect(10, 20, 200, 90)},        // also stretches
        {2, 0, 0, 1, QRect(110, 20, 100, 90)},       // follow the right edge, stretch down
        {0, 2, 0, 0, QRect(10, 60, 100, 50)},        // keep the place, follow the bottom
        {1, 1, 0.5, 0.5, QRect(35, 30, 150, 70)},    // centred: a quarter per edge
    };
    for (const Case_st& c : cases) {
        AutoSize_cl fresh;
        owner.resize(400, 300);
        child.setGeometry(10, 20, 100, 50);
        fresh.Register(&owner);
        fresh.AddChildAligned(&child, c.hMode, c.vMode, c.hShare, c.vShare);
        owner.resize(500, 340);
        fresh.Resize();
        EXPECT_EQ(child.geometry(), c.expected) << c.hMode << c.vMode << c.hShare;
    }
}

TEST_F(AutoSizeTest, ShrinkingTruncatesTowardsZeroAndStopsAtTheMinimum) {
    layout.AddChild(&child, 0.5, 0, 1, 1);
    // Left: 10 + trunc(0.5 * -3) = 9; right: 110 - 3.
    EXPECT_EQ(ResizeTo(397, 290), QRect(9, 20, 98, 40));
    AutoSize_cl limited;
    owner.resize(400, 300);
    child.setGeometry(10, 20, 100, 50);
    limited.Register(&owner, 380, 290);
    limited.AddChildAligned(&child, 0, 0, 1, 1);
    owner.resize(300, 200);
    limited.Resize();
    EXPECT_EQ(child.geometry(), QRect(10, 20, 80, 40));
}

TEST_F(AutoSizeTest, EveryResizeStartsFromTheRegisteredPlaces) {
    layout.AddChild(&child, 0, 0, 1, 1);
    ResizeTo(500, 400);
    EXPECT_EQ(ResizeTo(450, 350), QRect(10, 20, 150, 100));
}

TEST_F(AutoSizeTest, RefusesBadRatiosModesAndChildren) {
    EXPECT_EQ(RaisedMessage([&] { layout.AddChild(&child, 0, 0, 1.0000001, 0); }), QStringLiteral("比例应该在0和1之间。"));
    EXPECT_EQ(RaisedMessage([&] { layout.AddChild(&child, -0.1, 0, 1, 0); }), QStringLiteral("比例应该在0和1之间。"));
    EXPECT_EQ(RaisedMessage([&] { layout.AddChildAligned(&child, 0, 0, 1.5, 0); }), QStringLiteral("比例应该在0和1之间。"));
    EXPECT_EQ(RaisedMessage([&] { layout.AddChildAligned(&child, 3, 0, 0, 0); }), QStringLiteral("未知对齐方式。"));
    EXPECT_EQ(RaisedMessage([&] { layout.AddChild(nullptr, 0, 0, 1, 1); }), QStringLiteral("空指针。"));
    EXPECT_EQ(RaisedMessage([&] { layout.AddChild(&child, 0, 1, 1, 0); }), QStringLiteral("(nothing raised)"));
    AutoSize_cl unregistered;
    EXPECT_EQ(RaisedMessage([&] { unregistered.AddChild(&child, 0, 0, 1, 1); }), QStringLiteral("没有初始化该控件。"));
    // The size event of a window being made comes before registration: only that one passes.
    EXPECT_EQ(RaisedMessage([&] { unregistered.Resize(); }), QStringLiteral("(nothing raised)"));
    EXPECT_EQ(RaisedMessage([&] { unregistered.Resize(); }), QStringLiteral("空指针。"));
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
    owner.show();
    EXPECT_EQ(button.geometry(), QRect(10, 310, 80, 30));
}

TEST_F(AutoSizeTest, NestedChildrenAndDestroyedChildren) {
    QWidget frame(&owner);
    frame.setGeometry(50, 40, 300, 200);
    QWidget inner(&frame);
    inner.setGeometry(5, 5, 20, 20);
    auto* gone = new QWidget(&owner);
    layout.AddChild(gone, 0, 0, 1, 1);
    layout.AddChild(&inner, 1, 1, 1, 1);
    delete gone;
    ResizeTo(410, 320);
    EXPECT_EQ(inner.geometry(), QRect(15, 25, 20, 20));  // in its own parent's coordinates
}
