#pragma once

#include <QPointer>
#include <QWidget>
#include <cstdint>

class QTabBar;

namespace CTL_ns {

// A tab control that shows exactly the page of its current tab. Each tab carries a data
// value and, optionally, a page; the pages live in the display area below the tabs.
// When a tab stops or starts being current the parent window can be told by the leave
// and enter messages (Platform_ns::MessageEvent_cl with the tab's data value).
// The pages become children of the tab control but stay owned by the window that made
// them (its members): a tab control that goes first hands them back undeleted.
class TabCtrl_cl : public QWidget {
    Q_OBJECT

public:
    struct Item_st {
        int32_t data = 0;
        QPointer<QWidget> page;
    };

    explicit TabCtrl_cl(QWidget* parent = nullptr);
    ~TabCtrl_cl() override;

    static QString ClassName() { return QStringLiteral("TabCtrl_cl"); }

    // Appends a tab bound to page; the page moves into the display area, hidden.
    void AddPage(const QString& text, QWidget* page, int32_t data = 0);
    // Appends a tab without a page.
    void AddTab(const QString& text, int32_t data = 0);
    // Makes the tab current and swaps the pages.
    void Select(int32_t index);
    void SelectPage(QWidget* page);
    int32_t CurrentIndex() const;
    QWidget* CurrentPage() const;
    // Sends the leave message for the current tab, then removes every tab.
    void RemoveAll();

    // 0 (the initial value) sends nothing.
    void SetEnterMessage(uint32_t message) { enterMessage = message; }
    void SetLeaveMessage(uint32_t message) { leaveMessage = message; }

    QTabBar* TabBar() const { return bar; }
    // Where the pages are shown, in this control's coordinates.
    QRect DisplayArea() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void AppendTab(const QString& text, const Item_st& item);
    void Change();
    void LayOut();
    Item_st ItemAt(int32_t index) const;
    QRect Pane() const;

    int32_t current = -1;
    uint32_t enterMessage = 0;
    uint32_t leaveMessage = 0;
    QTabBar* bar;
};

}  // namespace CTL_ns

Q_DECLARE_METATYPE(CTL_ns::TabCtrl_cl::Item_st)
