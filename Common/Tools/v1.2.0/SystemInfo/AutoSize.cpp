#include "AutoSize.h"

#include "base/SysError.h"

namespace SystemInfo_ns {

namespace {

Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {
        {1, "空指针。"}, {2, "没有初始化该控件。"}, {3, "未知对齐方式。"}, {4, "比例应该在0和1之间。"}};
    return Base_ns::SysError_cl(line, __FILE__, AutoSize_cl::ClassName(), code, table, int32_t(std::size(table)), remark);
}

bool IsShare(double value) { return value >= 0 && value <= 1; }

// The near and far edge ratios of one alignment mode.
void Ratios(int32_t mode, double share, double& nearRatio, double& farRatio) {
    switch (mode) {
    case 0: nearRatio = 0; farRatio = share; return;
    case 1: nearRatio = 0.5 - share * 0.5; farRatio = 0.5 + share * 0.5; return;
    case 2: nearRatio = 1 - share; farRatio = 1; return;
    }
    throw SysError(3, __LINE__, QString::number(mode));
}

}  // namespace

// Sizes are the owner's own, without the frame: a window's frame is only known once it
// is shown, and the growth is the same either way.
void AutoSize_cl::Register(QWidget* newOwner, int32_t newMinWidth, int32_t newMinHeight) {
    if (newOwner == nullptr) throw SysError(1, __LINE__);
    owner = newOwner;
    const QRect rect(owner->mapToGlobal(QPoint(0, 0)), owner->size());
    initialLeft = rect.left();
    initialTop = rect.top();
    initialRight = rect.left() + rect.width();
    initialBottom = rect.top() + rect.height();
    minWidth = newMinWidth;
    minHeight = newMinHeight;
}

void AutoSize_cl::AddChild(QWidget* child, double leftRatio, double topRatio, double rightRatio, double bottomRatio) {
    if (owner == nullptr) throw SysError(2, __LINE__);
    if (child == nullptr) throw SysError(1, __LINE__);
    if (!IsShare(leftRatio) || !IsShare(topRatio) || !IsShare(rightRatio) || !IsShare(bottomRatio))
        throw SysError(4, __LINE__);
    const QPoint topLeft = owner->mapFromGlobal(child->mapToGlobal(QPoint(0, 0)));
    SubWndInfo_st info;
    info.child = child;
    info.left = topLeft.x();
    info.top = topLeft.y();
    info.right = topLeft.x() + child->width();
    info.bottom = topLeft.y() + child->height();
    info.leftRatio = leftRatio;
    info.topRatio = topRatio;
    info.rightRatio = rightRatio;
    info.bottomRatio = bottomRatio;
    children.Append(info);
}

void AutoSize_cl::AddChildAligned(QWidget* child, int32_t hMode, int32_t vMode, double hShare, double vShare) {
    if (!IsShare(hShare) || !IsShare(vShare)) throw SysError(4, __LINE__);
    double left = 0, right = 0, top = 0, bottom = 0;
    Ratios(hMode, hShare, left, right);
    Ratios(vMode, vShare, top, bottom);
    AddChild(child, left, top, right, bottom);
}

void AutoSize_cl::Resize() {
    // The size event of a window being made comes before anything is registered. Qt
    // holds back the size events of hidden windows until they are shown, so once an
    // owner is registered the first event may already carry a real change: it counts.
    if (skipNextResize != 0) {
        skipNextResize = 0;
        if (owner == nullptr) return;
    }
    if (owner == nullptr) throw SysError(1, __LINE__);
    const int32_t width = owner->width();
    const int32_t height = owner->height();
    const int32_t initialWidth = initialRight - initialLeft;
    const int32_t initialHeight = initialBottom - initialTop;
    const int32_t dW = minWidth >= width ? minWidth - initialWidth : width - initialWidth;
    const int32_t dH = minHeight >= height ? minHeight - initialHeight : height - initialHeight;
    for (auto id = children.First(); !id.IsEmpty(); id.Next()) {
        const SubWndInfo_st& info = id.Get();
        if (info.child == nullptr) continue;  // destroyed with its window
        const int32_t left = info.left + int32_t(info.leftRatio * dW);
        const int32_t top = info.top + int32_t(info.topRatio * dH);
        const int32_t newWidth = int32_t(info.rightRatio * dW) + info.right - left;
        const int32_t newHeight = int32_t(info.bottomRatio * dH) + info.bottom - top;
        // Back from the owner's coordinates to those of the child's parent.
        const QPoint position = info.child->parentWidget()
                                    ? info.child->parentWidget()->mapFromGlobal(owner->mapToGlobal(QPoint(left, top)))
                                    : owner->mapToGlobal(QPoint(left, top));
        info.child->setGeometry(position.x(), position.y(), newWidth, newHeight);
    }
}

}  // namespace SystemInfo_ns
