#include "platform/widgets/WidgetPrompt.h"

#include "support/QtPrinters.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using Platform_ns::Answer_en;
using Platform_ns::Buttons_en;
using Platform_ns::WidgetPrompt_cl;

namespace {

QStringList ButtonTexts(const QMessageBox& box) {
    QStringList texts;
    for (QAbstractButton* button : box.buttons()) texts.append(button->text());
    texts.sort();
    return texts;
}

// Runs action on the modal dialog that the next exec() shows.
template <typename Dialog, typename Action>
void WhenShown(Action action) {
    QMetaObject::invokeMethod(
        qApp,
        [action] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            action(dialog);
        },
        Qt::QueuedConnection);
}

}  // namespace

TEST(WidgetPrompt, MessageBoxShowsExactlyTextCaptionAndButtons) {
    QWidget owner;
    const auto box = WidgetPrompt_cl::MakeMessageBox(&owner, QStringLiteral("需要删除数据库文件吗？\r\n<b>全部</b>"),
                                                     QStringLiteral("系统错误"), Buttons_en::YesNo);
    EXPECT_EQ(box->parentWidget(), &owner);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("系统错误"));
    EXPECT_EQ(box->text(), QStringLiteral("需要删除数据库文件吗？\n<b>全部</b>"));
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(ButtonTexts(*box), (QStringList{QStringLiteral("否(&N)"), QStringLiteral("是(&Y)")}));
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Yes));
    EXPECT_EQ(ButtonTexts(*WidgetPrompt_cl::MakeMessageBox(nullptr, {}, {}, Buttons_en::OK)), QStringList{QStringLiteral("确定")});
    EXPECT_EQ(ButtonTexts(*WidgetPrompt_cl::MakeMessageBox(nullptr, {}, {}, Buttons_en::OKCancel)),
              (QStringList{QStringLiteral("取消"), QStringLiteral("确定")}));
}

TEST(WidgetPrompt, AShortMessageLeavesItsTitleWhole) {
    const QString title = QStringLiteral("ZantheVorelle管理软件");
    const auto box = WidgetPrompt_cl::MakeMessageBox(nullptr, QStringLiteral("好。"), title, Buttons_en::OK);
    box->show();  // the box sizes itself when shown and laid out
    QCoreApplication::processEvents();
    EXPECT_GT(box->width(), box->fontMetrics().horizontalAdvance(title) + 100);
}

TEST(WidgetPrompt, ClosingABoxGivesTheCautiousAnswer) {
    EXPECT_EQ(WidgetPrompt_cl::ToAnswer(QMessageBox::Yes, Buttons_en::YesNo), Answer_en::Yes);
    EXPECT_EQ(WidgetPrompt_cl::ToAnswer(QMessageBox::Cancel, Buttons_en::OKCancel), Answer_en::Cancel);
    EXPECT_EQ(WidgetPrompt_cl::ToAnswer(QMessageBox::NoButton, Buttons_en::YesNo), Answer_en::No);
    EXPECT_EQ(WidgetPrompt_cl::ToAnswer(QMessageBox::NoButton, Buttons_en::OKCancel), Answer_en::Cancel);
    EXPECT_EQ(WidgetPrompt_cl::ToAnswer(QMessageBox::NoButton, Buttons_en::OK), Answer_en::OK);
}

TEST(WidgetPrompt, MessageReturnsTheButtonPressed) {
    WidgetPrompt_cl prompt;
    QWidget owner;
    WhenShown<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Cancel)->click(); });
    EXPECT_EQ(prompt.Message(&owner, QStringLiteral("你真的要要删除该用户？"), QStringLiteral("提示"), Buttons_en::OKCancel),
              Answer_en::Cancel);
    WhenShown<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(prompt.Message(&owner, QStringLiteral("?"), QStringLiteral("提示"), Buttons_en::YesNo), Answer_en::No);
    WhenShown<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
    EXPECT_EQ(prompt.Message(&owner, QStringLiteral("?"), QStringLiteral("提示"), Buttons_en::YesNo), Answer_en::Yes);
}

TEST(WidgetPrompt, FiltersBecomeNameFilters) {
    EXPECT_EQ(WidgetPrompt_cl::NameFilters(QStringLiteral("CSV Files (*.csv)|*.csv|")), QStringList{QStringLiteral("CSV Files (*.csv)")});
    EXPECT_EQ(WidgetPrompt_cl::NameFilters(QStringLiteral("数据库文件 (*.mdb)|*.mdb|")), QStringList{QStringLiteral("数据库文件 (*.mdb)")});
    EXPECT_EQ(WidgetPrompt_cl::NameFilters(QStringLiteral("文本|*.txt; *.log|全部 (*.*)|*.*|")),
              (QStringList{QStringLiteral("文本 (*.txt *.log)"), QStringLiteral("全部 (*.*)")}));
    EXPECT_EQ(WidgetPrompt_cl::NameFilters(QStringLiteral("旧版 (2003)|*.xls")), QStringList{QStringLiteral("旧版 (2003) (*.xls)")});
    EXPECT_TRUE(WidgetPrompt_cl::NameFilters(QString()).isEmpty());
    EXPECT_TRUE(WidgetPrompt_cl::NameFilters(QStringLiteral("描述|")).isEmpty());
    EXPECT_EQ(WidgetPrompt_cl::DefaultSuffix(QStringLiteral("CSV Files (*.csv)|*.csv|")), QStringLiteral("csv"));
    EXPECT_EQ(WidgetPrompt_cl::DefaultSuffix(QStringLiteral("x|*.mdb;*.accdb|")), QStringLiteral("mdb"));
    EXPECT_EQ(WidgetPrompt_cl::DefaultSuffix(QStringLiteral("全部|*.*|")), QString());
    EXPECT_EQ(WidgetPrompt_cl::DefaultSuffix(QString()), QString());
}

TEST(WidgetPrompt, FileDialogsAreSetUpForOpeningAndSaving) {
    QTemporaryDir folder;
    QWidget owner;
    const auto open = WidgetPrompt_cl::MakeFileDialog(&owner, QFileDialog::AcceptOpen, QStringLiteral("CSV Files (*.csv)|*.csv|"),
                                                      folder.path(), QString());
    EXPECT_EQ(open->parentWidget(), &owner);
    EXPECT_EQ(open->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(open->nameFilters(), QStringList{QStringLiteral("CSV Files (*.csv)")});
    EXPECT_EQ(open->directory().absolutePath(), QDir(folder.path()).absolutePath());
    EXPECT_FALSE(open->testOption(QFileDialog::DontConfirmOverwrite));
    const auto save = WidgetPrompt_cl::MakeFileDialog(&owner, QFileDialog::AcceptSave, QStringLiteral("数据库文件 (*.mdb)|*.mdb|"),
                                                      folder.path(), QString());
    EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(save->defaultSuffix(), QStringLiteral("mdb"));
    EXPECT_FALSE(save->testOption(QFileDialog::DontConfirmOverwrite));
}

TEST(WidgetPrompt, SaveFileReturnsTheChosenPathWithItsExtension) {
    QTemporaryDir folder;
    WidgetPrompt_cl prompt;
    WhenShown<QFileDialog>([](QFileDialog* dialog) {
        dialog->selectFile(QStringLiteral("导出"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    EXPECT_EQ(prompt.SaveFile(nullptr, QStringLiteral("CSV Files (*.csv)|*.csv|"), folder.path(), QString()),
              QDir(folder.path()).absoluteFilePath(QStringLiteral("导出.csv")));
    WhenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(prompt.OpenFile(nullptr, QStringLiteral("CSV Files (*.csv)|*.csv|"), folder.path()), QString());
}
