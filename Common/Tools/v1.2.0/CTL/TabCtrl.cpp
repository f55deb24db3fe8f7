#include "TabCtrl.h"

#include "base/SysError.h"
#include "platform/widgets/MessageEvent.h"

#include <QPainter>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

namespace CTL_ns {

namespace {

Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{1, "空指针。"},
                                                  {2, "新建选项卡失败。"},
                                                  {3, "取得选项卡属性失败。"},
                                                  {4, "无法根据子窗口找到对应选项卡。"},
                                                  {5, "无法根据数据标识找到对应选项卡。"},
                                                  {6, "没有选中的选项卡。"},
                                                  {7, "不正确的索引。"}};
    return Base_ns::SysError_cl(line, __FILE__, TabCtrl_cl::ClassName(), code, table, int32_t(std::size(table)), remark);
}

}  // namespace

TabCtrl_cl::TabCtrl_cl(QWidget* parent) : QWidget(parent), bar(new QTabBar(this)) {
    bar->setExpanding(false);
    connect(bar, &QTabBar::currentChanged, this, [this] { Change(); });
    // The pages from the keyboard, wherever the focus is on them, round at either end.
    const struct {
        QKeySequence keys;
        int32_t step;
    } steps[] = {{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
                 {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
                 {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
                 {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}};
    for (const auto& step : steps) {
        auto* shortcut = new QShortcut(step.keys, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, by = step.step] {
            if (bar->count() > 0) Select((bar->currentIndex() + by + bar->count()) % bar->count());
        });
    }
}

TabCtrl_cl::~TabCtrl_cl() {
    // The pages belong to the window that made them, not to the tab control: hand back
    // those still here so that they are not destroyed twice.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child != bar) child->setParent(nullptr);
    }
}

void TabCtrl_cl::AddPage(const QString& text, QWidget* page, int32_t data) {
    if (page == nullptr) throw SysError(1, __LINE__);
    if (page->parentWidget() != this) page->setParent(this);
    page->hide();
    AppendTab(text, Item_st{data, page});
}

void TabCtrl_cl::AddTab(const QString& text, int32_t data) { AppendTab(text, Item_st{data, nullptr}); }

void TabCtrl_cl::AppendTab(const QString& text, const Item_st& item) {
    {
        // A new tab is no change of the user's: pages swap only on selection.
        const QSignalBlocker blocker(bar);
        const int index = bar->addTab(text);
        bar->setTabData(index, QVariant::fromValue(item));
    }
    LayOut();
}

void TabCtrl_cl::Select(int32_t index) {
    if (index < 0 || index >= bar->count()) throw SysError(7, __LINE__, QString::number(index));
    bar->setCurrentIndex(index);
    // The bar reports nothing when the index was already selected but no page shown yet.
    Change();
}

void TabCtrl_cl::SelectPage(QWidget* page) {
    if (page == nullptr) throw SysError(1, __LINE__);
    for (int32_t i = 0; i < bar->count(); ++i) {
        if (ItemAt(i).page == page) {
            Select(i);
            return;
        }
    }
    throw SysError(4, __LINE__);
}

int32_t TabCtrl_cl::CurrentIndex() const {
    const int32_t index = bar->currentIndex();
    if (index < 0) throw SysError(6, __LINE__);
    return index;
}

QWidget* TabCtrl_cl::CurrentPage() const {
    QWidget* page = ItemAt(CurrentIndex()).page;
    if (page == nullptr) throw SysError(1, __LINE__);
    return page;
}

void TabCtrl_cl::RemoveAll() {
    if (current >= 0) {
        const Item_st item = ItemAt(current);
        // No tab is left to show the page under.
        if (item.page) item.page->hide();
        if (leaveMessage != 0 && parent() != nullptr) Platform_ns::MessageEvent_cl::Send(parent(), leaveMessage, item.data);
        current = -1;
    }
    const QSignalBlocker blocker(bar);
    while (bar->count() > 0) bar->removeTab(bar->count() - 1);
}

void TabCtrl_cl::Change() {
    const int32_t selected = bar->currentIndex();
    if (selected == current) return;
    if (current >= 0) {
        const Item_st item = ItemAt(current);
        if (item.page) item.page->hide();
        if (leaveMessage != 0 && parent() != nullptr) Platform_ns::MessageEvent_cl::Post(parent(), leaveMessage, item.data);
    }
    if (selected >= 0) {
        const Item_st item = ItemAt(selected);
        if (item.page) item.page->show();
        if (enterMessage != 0 && parent() != nullptr) Platform_ns::MessageEvent_cl::Post(parent(), enterMessage, item.data);
    }
    current = selected;
}

TabCtrl_cl::Item_st TabCtrl_cl::ItemAt(int32_t index) const { return bar->tabData(index).value<Item_st>(); }

QRect TabCtrl_cl::Pane() const {
    const int barHeight = bar->count() > 0 ? bar->sizeHint().height() : 0;
    // The tabs overlap the pane's top edge, as the style draws them.
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
    return QRect(0, barHeight - overlap, width(), height() - barHeight + overlap);
}

QRect TabCtrl_cl::DisplayArea() const {
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    return Pane().adjusted(frame, frame, -frame, -frame);
}

void TabCtrl_cl::LayOut() {
    bar->setGeometry(0, 0, width(), bar->count() > 0 ? bar->sizeHint().height() : 0);
    const QRect area = DisplayArea();
    for (int32_t i = 0; i < bar->count(); ++i) {
        if (QWidget* page = ItemAt(i).page) page->setGeometry(area);
    }
}

void TabCtrl_cl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void TabCtrl_cl::paintEvent(QPaintEvent*) {
    const QRect pane = Pane();
    if (pane.height() <= 0) return;
    QStyleOptionTabWidgetFrame option;
    option.initFrom(this);
    option.rect = pane;
    option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    option.shape = QTabBar::RoundedNorth;
    option.tabBarSize = bar->size();
    option.tabBarRect = bar->geometry();
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &option, &painter, this);
}

}  // namespace CTL_ns
