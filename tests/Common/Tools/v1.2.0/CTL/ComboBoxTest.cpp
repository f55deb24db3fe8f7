#include "CTL/ComboBox.h"

#include "Container/List.h"
#include "base/String.h"
#include "support/Raised.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using CTL_ns::ComboBox_cl;

namespace {

struct ComboBoxTest : ::testing::Test {
    ComboBoxTest() {
        window.resize(300, 100);
        list->setGeometry(10, 10, 200, 30);
        edit->setGeometry(10, 50, 200, 30);
    }
    // Selection notifications so far, the queued ones included.
    int Notified(const QSignalSpy& spy) {
        QCoreApplication::sendPostedEvents();
        return int(spy.count());
    }

    QWidget window;
    ComboBox_cl* list = new ComboBox_cl(ComboBox_cl::Style_en::DropDownList, &window);
    ComboBox_cl* edit = new ComboBox_cl(ComboBox_cl::Style_en::DropDown, &window);
    QSignalSpy listNotified{list, &ComboBox_cl::SelectionChanged};
    QSignalSpy editNotified{edit, &ComboBox_cl::SelectionChanged};
};

}  // namespace

TEST_F(ComboBoxTest, ItemsKeepDataAndNothingIsSelectedUntilAskedFor) {
    list->AddItem(QStringLiteral("普通"), 2);
    list->AddText(QStringLiteral("无数据"));
    list->AddItem(QStringLiteral("负"), -7);
    EXPECT_EQ(list->ItemData(0), 2);
    EXPECT_EQ(list->ItemData(1), 0);
    EXPECT_EQ(list->ItemData(2), -7);
    EXPECT_EQ(RaisedMessage([&] { list->ItemData(3); }), QStringLiteral("项索引不正确。"));
    EXPECT_EQ(RaisedMessage([&] { list->ItemData(-1); }), QStringLiteral("项索引不正确。"));
    EXPECT_EQ(RaisedMessage([&] { list->CurrentSelection(); }), QStringLiteral("没有项被选中。"));
    EXPECT_EQ(list->Text(), QString());
    edit->setEditText(QStringLiteral("typed"));
    edit->AddText(QStringLiteral("first"));
    EXPECT_EQ(edit->currentIndex(), -1);
    EXPECT_EQ(edit->Text(), QStringLiteral("typed"));
}

TEST_F(ComboBoxTest, ProgramSelectionNotifiesAfterTheHandler) {
    list->AddText(QStringLiteral("a"));
    list->AddText(QStringLiteral("b"));
    list->Select(1);
    EXPECT_EQ(list->CurrentSelection(), 1);
    EXPECT_EQ(list->Text(), QStringLiteral("b"));
    EXPECT_EQ(listNotified.count(), 0);  // queued
    EXPECT_EQ(Notified(listNotified), 1);
    EXPECT_EQ(RaisedMessage([&] { list->Select(2); }), QStringLiteral("项索引不正确。"));
    EXPECT_EQ(list->CurrentSelection(), 1);
}

TEST_F(ComboBoxTest, UserChoiceNotifiesAtOnce) {
    list->AddText(QStringLiteral("a"));
    list->AddText(QStringLiteral("b"));
    window.show();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(list->currentIndex(), 1);
    EXPECT_EQ(listNotified.count(), 2);
}

TEST_F(ComboBoxTest, SelectDefaultAndByTextTakeTheFirstExactMatch) {
    list->AddItem(QStringLiteral("超级管理员"), 0);
    list->AddItem(QStringLiteral("Abc"), 1);
    list->AddItem(QStringLiteral("abc"), 2);
    list->AddItem(QStringLiteral("abc"), 2);
    EXPECT_TRUE(list->SelectDefault());
    EXPECT_EQ(list->currentIndex(), 2);
    EXPECT_TRUE(list->SelectByText(QStringLiteral("Abc")));
    EXPECT_EQ(list->currentIndex(), 1);
    EXPECT_FALSE(list->SelectByText(QStringLiteral("ABC")));
    EXPECT_FALSE(list->SelectByText(QStringLiteral("Ab")));
    EXPECT_EQ(list->currentIndex(), 1);
    EXPECT_EQ(Notified(listNotified), 2);
    edit->AddItem(QStringLiteral("x"), 1);
    EXPECT_FALSE(edit->SelectDefault());
    EXPECT_EQ(Notified(editNotified), 0);
}

TEST_F(ComboBoxTest, FillSelectsTheFirstTextOnlyWhenThereIsOne) {
    edit->Fill(Container_ns::List_tl<Base_ns::String_cl>());
    EXPECT_EQ(edit->count(), 0);
    EXPECT_EQ(Notified(editNotified), 0);
    Container_ns::List_tl<Base_ns::String_cl> names;
    names.Append(QStringLiteral("张三"));
    names.Append(QStringLiteral("李四"));
    edit->Fill(names);
    EXPECT_EQ(edit->itemText(1), QStringLiteral("李四"));
    EXPECT_EQ(edit->Text(), QStringLiteral("张三"));
    EXPECT_EQ(Notified(editNotified), 1);
}

TEST_F(ComboBoxTest, TypedTextIsTheTextAndAddsNoItem) {
    QSignalSpy edited(edit, &ComboBox_cl::EditChanged);
    edit->AddText(QStringLiteral("张三"));
    edit->Select(0);
    window.show();
    edit->setFocus();
    QTest::keyClicks(edit->lineEdit(), QStringLiteral("x"));
    QTest::keyClick(edit->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(edit->Text(), QStringLiteral("张三x"));
    EXPECT_EQ(edit->count(), 1);
    EXPECT_EQ(edited.count(), 1);                  // the user's typing only
    EXPECT_EQ(Notified(editNotified), 1);  // the program's selection only
}

TEST_F(ComboBoxTest, ValidatedTextChecksIllegalCharactersThenEmptiness) {
    window.show();
    edit->SetField(QStringLiteral("姓名"));
    edit->setEditText(QStringLiteral("it's"));
    EXPECT_EQ(RaisedMessage([&] { edit->ValidatedText(QStringLiteral("\"'"), false); }), QStringLiteral("姓名中有非法字符（\"'）。"));
    EXPECT_EQ(window.focusWidget(), edit);
    EXPECT_EQ(edit->ValidatedText(QStringLiteral("\""), false), QStringLiteral("it's"));
    EXPECT_EQ(edit->ValidatedText(QString(), false), QStringLiteral("it's"));
    edit->setEditText(QString());
    list->setFocus();
    EXPECT_EQ(RaisedMessage([&] { edit->ValidatedText(QString(), false); }), QStringLiteral("请输入姓名。"));
    EXPECT_EQ(window.focusWidget(), edit);
    EXPECT_EQ(edit->ValidatedText(QStringLiteral("'"), true), QString());
}

TEST_F(ComboBoxTest, PushFrontKeepsTheMostRecentOnTop) {
    edit->AddItem(QStringLiteral("午餐"), 1);
    edit->AddItem(QStringLiteral("晚餐"), 2);
    edit->AddItem(QStringLiteral("早餐"), 3);
    edit->setCurrentIndex(0);
    edit->PushFront(QStringLiteral("午餐"));  // on top and shown: nothing to do
    EXPECT_EQ(Notified(editNotified), 0);
    edit->setEditText(QStringLiteral("午"));
    edit->PushFront(QStringLiteral("午餐"));
    EXPECT_EQ(edit->Text(), QStringLiteral("午餐"));
    EXPECT_EQ(Notified(editNotified), 1);
    edit->PushFront(QStringLiteral("早餐"));  // moves up with its data
    EXPECT_EQ(edit->itemText(0), QStringLiteral("早餐"));
    EXPECT_EQ(edit->ItemData(0), 3);
    EXPECT_EQ(edit->itemText(2), QStringLiteral("晚餐"));
    EXPECT_EQ(edit->CurrentSelection(), 0);
    edit->PushFront(QStringLiteral("夜宵"));  // new: inserted on top without data
    EXPECT_EQ(edit->count(), 4);
    EXPECT_EQ(edit->ItemData(0), 0);
    EXPECT_EQ(edit->Text(), QStringLiteral("夜宵"));
    EXPECT_EQ(Notified(editNotified), 3);
}
