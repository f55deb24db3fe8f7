#include "ComboBox.h"

#include "Container/List.h"
#include "base/String.h"
#include "base/SysError.h"
#include "base/UserError.h"

#include <QLineEdit>

namespace CTL_ns {

namespace {

Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{1, "为组合框控件新增项失败。"},
                                                  {2, "设置组合框控件的项的数据失败。"},
                                                  {3, "项索引不正确。"},
                                                  {4, "删除数据失败。"},
                                                  {5, "没有项被选中。"}};
    return Base_ns::SysError_cl(line, __FILE__, ComboBox_cl::ClassName(), code, table, int32_t(std::size(table)), remark);
}

// The message names the field (%1) and what was not allowed in it (%2).
Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& field, const QString& illegal = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "请输入%1。"}, {104, "%1中有非法字符（%2）。"}};
    const QByteArray named = Base_ns::Error_cl::LookUp(code, table, int32_t(std::size(table)))
                                 .replace(QStringLiteral("%1"), field)
                                 .replace(QStringLiteral("%2"), illegal)
                                 .toUtf8();
    const Base_ns::ErrorInfo_st message[] = {{code, named.constData()}};
    return Base_ns::UserError_cl(line, __FILE__, ComboBox_cl::ClassName(), code, message, 1, QString());
}

}  // namespace

ComboBox_cl::ComboBox_cl(Style_en style, QWidget* parent) : QComboBox(parent) {
    if (style == Style_en::DropDown) {
        setEditable(true);
        // Typed text stays typed: Enter adds no item and nothing completes it.
        setInsertPolicy(QComboBox::NoInsert);
        setCompleter(nullptr);
        connect(lineEdit(), &QLineEdit::textEdited, this, &ComboBox_cl::EditChanged);
    }
    connect(this, &QComboBox::activated, this, &ComboBox_cl::SelectionChanged);
}

void ComboBox_cl::AddItem(const QString& text, int32_t data) { Insert(count(), text, data); }

void ComboBox_cl::AddText(const QString& text) { Insert(count(), text, QVariant()); }

void ComboBox_cl::Insert(int32_t index, const QString& text, const QVariant& data) {
    const bool wasEmpty = count() == 0;
    const QString typed = currentText();
    insertItem(index, text, data);
    // Qt selects the first item put into an empty box; here only the program or the
    // user selects, and typed text stays.
    if (wasEmpty) {
        setCurrentIndex(-1);
        if (isEditable()) setEditText(typed);
    }
}

void ComboBox_cl::Fill(const Container_ns::List_tl<Base_ns::String_cl>& texts) {
    for (auto id = texts.First(); !id.IsEmpty(); id.Next()) AddText(id.Get());
    // An empty list (nothing remembered yet) leaves nothing to select.
    if (count() > 0) Select(0);
}

void ComboBox_cl::CheckIndex(int32_t index, int32_t line) const {
    if (index < 0 || index >= count()) throw SysError(3, line, QString::number(index));
}

int32_t ComboBox_cl::ItemData(int32_t index) const {
    CheckIndex(index, __LINE__);
    return itemData(index).toInt();
}

int32_t ComboBox_cl::CurrentSelection() const {
    if (currentIndex() < 0) throw SysError(5, __LINE__);
    return currentIndex();
}

void ComboBox_cl::Select(int32_t index) {
    CheckIndex(index, __LINE__);
    setCurrentIndex(index);
    Notify();
}

bool ComboBox_cl::SelectDefault() {
    const int index = findData(2);
    if (index < 0) return false;
    Select(index);
    return true;
}

bool ComboBox_cl::SelectByText(const QString& text) {
    const int index = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) return false;
    Select(index);
    return true;
}

QString ComboBox_cl::Text() const { return currentText(); }

QString ComboBox_cl::ValidatedText(const QString& illegal, bool emptyAllowed) {
    const QString text = Text();
    for (const QChar c : illegal) {
        if (text.contains(c)) {
            setFocus();
            throw UserError(104, __LINE__, field, illegal);
        }
    }
    if (text.isEmpty() && !emptyAllowed) {
        setFocus();
        throw UserError(101, __LINE__, field);
    }
    return text;
}

void ComboBox_cl::PushFront(const QString& text) {
    const int found = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found == 0) {
        if (currentText() != text) Select(0);
        return;
    }
    if (found > 0) {
        const QVariant data = itemData(found);
        removeItem(found);
        Insert(0, text, data);
    } else {
        Insert(0, text, QVariant());
    }
    Select(0);
}

void ComboBox_cl::Notify() {
    QMetaObject::invokeMethod(this, &ComboBox_cl::SelectionChanged, Qt::QueuedConnection);
}

}  // namespace CTL_ns
