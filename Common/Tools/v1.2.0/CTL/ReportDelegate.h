#pragma once

#include <QStyledItemDelegate>

namespace CTL_ns {

// Draws the cells of a report list without a focus frame of their own: the list frames
// the whole current row instead, as a list of rows does.
class ReportDelegate_cl : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace CTL_ns
