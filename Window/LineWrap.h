#pragma once

#include <QList>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <cstdint>

namespace Vorelle_ns {

// The controls on the lines at the top of a page, placed for a width the page may not
// have: on a narrower page those that would be cut move, in their order, onto extra
// lines below, so that every one stays in sight.
class LineWrap_cl {
public:
    // Remembers where control stands now, in its parent's coordinates; the parent is the
    // page or a child of it at the page's corner.
    void Add(QWidget* control);
    // Places the controls for width, the extra lines beginning at top, each lineHeight
    // high; returns the height the extra lines take, 0 when every control fits.
    int32_t LayOut(int32_t width, int32_t top, int32_t lineHeight, int32_t gap);

private:
    struct Item_st {
        QPointer<QWidget> control;
        QRect placed;
    };
    QList<Item_st> items;
};

}  // namespace Vorelle_ns
