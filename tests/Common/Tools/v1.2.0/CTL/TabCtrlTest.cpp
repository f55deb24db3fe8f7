#include "CTL/TabCtrl.h"

#include "platform/widgets/MessageEvent.h"
#include "support/Raised.h"

#include <QCoreApplication>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

using CTL_ns::TabCtrl_cl;

namespace {

// A parent window that notes the messages it receives, as "message:value".
class Parent_cl : public QWidget {
public:
    QStringList received;

protected:
    void customEvent(QEvent* event) override {
        if (event->type() != Platform_ns::MessageEvent_cl::EventType()) return;
        const auto* message = static_cast<Platform_ns::MessageEvent_cl*>(event);
        received.append(QStringLiteral("%1:%2").arg(message->Message()).arg(message->Value()));
    }
};

// Two pages with data values 7 and 8; enter message 13141, leave message 13142.
struct TabCtrlTest : ::testing::Test {
    TabCtrlTest() {
        parent.resize(400, 300);
        tabs->setGeometry(10, 10, 380, 280);
        tabs->AddPage(QStringLiteral("用户登录"), &first, 7);
        tabs->AddPage(QStringLiteral("创建数据库"), &second, 8);
        tabs->SetEnterMessage(13141);
        tabs->SetLeaveMessage(13142);
        parent.show();
    }
    QStringList Delivered() {
        QCoreApplication::sendPostedEvents();
        return parent.received;
    }

    QWidget first;
    QWidget second;
    Parent_cl parent;
    TabCtrl_cl* tabs = new TabCtrl_cl(&parent);
};

}  // namespace

TEST_F(TabCtrlTest, PagesWaitHiddenUntilSelectedThenEnterIsPosted) {
    EXPECT_EQ(first.parentWidget(), tabs);
    EXPECT_EQ(first.geometry(), tabs->DisplayArea());
    EXPECT_GT(tabs->DisplayArea().top(), tabs->TabBar()->tabRect(0).top());
    EXPECT_FALSE(first.isVisible());
    EXPECT_FALSE(second.isVisible());
    tabs->Select(1);
    EXPECT_TRUE(second.isVisible());
    EXPECT_FALSE(first.isVisible());
    EXPECT_EQ(tabs->CurrentIndex(), 1);
    EXPECT_EQ(tabs->CurrentPage(), &second);
    EXPECT_TRUE(parent.received.isEmpty());  // posted: handled after this handler
    EXPECT_EQ(Delivered(), QStringList{QStringLiteral("13141:8")});
    tabs->SelectPage(&first);
    EXPECT_TRUE(first.isVisible());
    EXPECT_FALSE(second.isVisible());
    EXPECT_EQ(Delivered(), (QStringList{QStringLiteral("13141:8"), QStringLiteral("13142:8"), QStringLiteral("13141:7")}));
}

TEST_F(TabCtrlTest, SelectingTheCurrentTabPostsNothing) {
    tabs->Select(0);  // selected in the bar from the start, but no page was shown yet
    EXPECT_TRUE(first.isVisible());
    tabs->Select(0);
    tabs->SelectPage(&first);
    EXPECT_EQ(Delivered().size(), 1);
}

TEST_F(TabCtrlTest, ClickingATabSwapsThePages) {
    tabs->Select(0);
    QTabBar* bar = tabs->TabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(1).center());
    EXPECT_EQ(tabs->CurrentIndex(), 1);
    EXPECT_TRUE(second.isVisible());
    EXPECT_FALSE(first.isVisible());
    EXPECT_EQ(Delivered().last(), QStringLiteral("13141:8"));
}

TEST_F(TabCtrlTest, PagesFollowTheControlsSize) {
    const QRect before = first.geometry();
    tabs->resize(300, 200);
    EXPECT_EQ(first.geometry(), before.adjusted(0, 0, -80, -80));
    EXPECT_EQ(second.geometry(), before.adjusted(0, 0, -80, -80));
}

TEST_F(TabCtrlTest, RemoveAllSendsLeaveAtOnceAndStartsAfresh) {
    tabs->Select(1);
    Delivered();
    tabs->RemoveAll();
    EXPECT_EQ(parent.received.last(), QStringLiteral("13142:8"));  // sent, not posted
    EXPECT_EQ(tabs->TabBar()->count(), 0);
    EXPECT_FALSE(second.isVisible());
    EXPECT_EQ(RaisedMessage([&] { tabs->CurrentIndex(); }), QStringLiteral("没有选中的选项卡。"));
    tabs->AddTab(QStringLiteral("开销"));
    tabs->AddTab(QStringLiteral("收入"), 1);
    EXPECT_EQ(RaisedMessage([&] { tabs->CurrentPage(); }), QStringLiteral("空指针。"));
    tabs->Select(0);
    EXPECT_EQ(Delivered().last(), QStringLiteral("13141:0"));
}

TEST_F(TabCtrlTest, RefusesBadIndicesAndPages) {
    EXPECT_EQ(RaisedMessage([&] { tabs->Select(2); }), QStringLiteral("不正确的索引。"));
    EXPECT_EQ(RaisedMessage([&] { tabs->Select(-1); }), QStringLiteral("不正确的索引。"));
    QWidget stranger;
    EXPECT_EQ(RaisedMessage([&] { tabs->SelectPage(&stranger); }), QStringLiteral("无法根据子窗口找到对应选项卡。"));
    EXPECT_EQ(RaisedMessage([&] { tabs->SelectPage(nullptr); }), QStringLiteral("空指针。"));
    EXPECT_EQ(RaisedMessage([&] { tabs->AddPage(QStringLiteral("x"), nullptr); }), QStringLiteral("空指针。"));
    EXPECT_EQ(tabs->TabBar()->count(), 2);
}

TEST(TabCtrl, NoMessagesUnlessSetAndPagesOutliveTheControl) {
    Parent_cl parent;
    QWidget page;  // a member of its window, destroyed after the tab control
    {
        TabCtrl_cl tabs(&parent);
        tabs.AddPage(QStringLiteral("a"), &page);
        tabs.AddTab(QStringLiteral("b"));
        tabs.Select(1);
        tabs.Select(0);
    }
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(parent.received.isEmpty());
    EXPECT_EQ(page.parentWidget(), nullptr);
}
