#pragma once

#include "Container/List.h"

#include <QPointer>
#include <QWidget>
#include <cstdint>

namespace SystemInfo_ns {

// One child that follows its owner's size: its rectangle in the owner's coordinates at
// registration, and the share of the owner's growth that each edge follows.
struct SubWndInfo_st {
    QPointer<QWidget> child;
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;   // left + width
    int32_t bottom = 0;  // top + height
    double leftRatio = 0;
    double topRatio = 0;
    double rightRatio = 0;
    double bottomRatio = 0;
};

// Keeps the children of a resizable window in place when the window changes size.
// The owner registers itself once, then each child that moves or stretches, and calls
// Resize() from its resize event.
class AutoSize_cl {
public:
    AutoSize_cl() = default;
    AutoSize_cl(const AutoSize_cl&) = delete;
    AutoSize_cl& operator=(const AutoSize_cl&) = delete;

    static QString ClassName() { return QStringLiteral("AutoSize_cl"); }

    // Remembers owner's present size; below the minimum size the layout stops shrinking.
    void Register(QWidget* owner, int32_t minWidth = 0, int32_t minHeight = 0);
    // Ratios in [0, 1]: the share of the owner's width (left, right) or height (top,
    // bottom) change that each edge follows.
    void AddChild(QWidget* child, double leftRatio, double topRatio, double rightRatio, double bottomRatio);
    // Modes per direction: 0 anchored at the left / top, 1 centred, 2 anchored at the
    // right / bottom; the share (in [0, 1]) is how much of the growth the child takes.
    void AddChildAligned(QWidget* child, int32_t hMode, int32_t vMode, double hShare, double vShare);
    // Moves every child for the owner's present size.
    void Resize();

private:
    QPointer<QWidget> owner;
    int32_t initialLeft = 0;
    int32_t initialTop = 0;
    int32_t initialRight = 0;
    int32_t initialBottom = 0;
    int32_t minWidth = 0;
    int32_t minHeight = 0;
    Container_ns::List_tl<SubWndInfo_st> children;
    int32_t skipNextResize = 1;
};

}  // namespace SystemInfo_ns
