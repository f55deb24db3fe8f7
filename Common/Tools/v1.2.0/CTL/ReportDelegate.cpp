#include "CTL/ReportDelegate.h"

namespace CTL_ns {

void ReportDelegate_cl::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem cell(option);
    cell.state &= ~QStyle::State_HasFocus;
    QStyledItemDelegate::paint(painter, cell, index);
}

}  // namespace CTL_ns
