#pragma once

#include <QComboBox>
#include <cstdint>

namespace Container_ns {
template <typename T>
class List_tl;
}
namespace Base_ns {
class String_cl;
}

namespace CTL_ns {

// A combo box that reads its text with the program's input checks, selects as if the
// user had chosen, and keeps most-recent-first lists. Each item has a 32-bit data value.
//
// SelectionChanged is the one notification of a new selection: emitted at once when
// the user chooses, and queued when the program selects (it arrives after the handler
// that selected has returned). EditChanged is emitted when the user edits the text.
class ComboBox_cl : public QComboBox {
    Q_OBJECT

public:
    enum class Style_en {
        DropDownList,  // choose only
        DropDown,      // type or choose
    };

    explicit ComboBox_cl(Style_en style, QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("ComboBox_cl"); }

    void AddItem(const QString& text, int32_t data);
    void AddText(const QString& text);  // data 0
    // Adds every text in order, then selects the first one (when there is one).
    void Fill(const Container_ns::List_tl<Base_ns::String_cl>& texts);
    int32_t ItemData(int32_t index) const;
    int32_t CurrentSelection() const;
    void Select(int32_t index);
    // Selects the first item whose data value is 2; false when there is none.
    bool SelectDefault();
    // Selects the first item with exactly this text (case-sensitive); false when none.
    bool SelectByText(const QString& text);

    // The text shown: the chosen item's, or what the user typed.
    QString Text() const;
    // What the box holds, as its label says ("分类"): the refusals name it.
    void SetField(const QString& name) { field = name; }
    // Text() after the checks: none of illegal's characters ("分类中有非法字符（'）。"), not
    // empty unless allowed ("请输入分类。"). A failing check moves the focus here first.
    QString ValidatedText(const QString& illegal, bool emptyAllowed);
    // Moves text (with its data value) or inserts it at the top, and selects it.
    void PushFront(const QString& text);

signals:
    void SelectionChanged();
    void EditChanged();

private:
    void Insert(int32_t index, const QString& text, const QVariant& data);
    void Notify();
    void CheckIndex(int32_t index, int32_t line) const;

    QString field = QStringLiteral("该项");
};

}  // namespace CTL_ns
