#include "FrozenColumn.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <cstdint>

namespace CTL_ns {

FrozenColumn_cl::FrozenColumn_cl(QTableView* table) : QObject(table), table(table), frozen(new QTableView(table)) {
    frozen->setObjectName(QStringLiteral("FrozenColumn"));
    frozen->setModel(table->model());
    frozen->setSelectionModel(table->selectionModel());
    frozen->setItemDelegate(table->itemDelegate());
    frozen->setSelectionBehavior(table->selectionBehavior());
    frozen->setSelectionMode(table->selectionMode());
    frozen->setShowGrid(table->showGrid());
    frozen->setWordWrap(table->wordWrap());
    frozen->setFocusPolicy(Qt::NoFocus);
    frozen->setFrameShape(QFrame::NoFrame);
    frozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen->setVerticalScrollMode(table->verticalScrollMode());
    frozen->verticalHeader()->hide();
    frozen->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen->verticalHeader()->setMinimumSectionSize(0);
    frozen->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen->horizontalHeader()->setDefaultAlignment(table->horizontalHeader()->defaultAlignment());
    frozen->horizontalHeader()->setHighlightSections(false);
    // The header's clicks are the table's own: a click on the frozen title is one on its
    // first column.
    connect(frozen->horizontalHeader(), &QHeaderView::sectionClicked, table->horizontalHeader(), &QHeaderView::sectionClicked);
    connect(frozen, &QAbstractItemView::clicked, table, &QAbstractItemView::clicked);
    connect(frozen, &QAbstractItemView::doubleClicked, table, &QAbstractItemView::doubleClicked);
    connect(frozen->verticalScrollBar(), &QScrollBar::valueChanged, table->verticalScrollBar(), &QScrollBar::setValue);
    connect(table->verticalScrollBar(), &QScrollBar::valueChanged, frozen->verticalScrollBar(), &QScrollBar::setValue);
    // The frozen list gets its range later than the table its scrolling.
    connect(frozen->verticalScrollBar(), &QScrollBar::rangeChanged, this,
            [this] {
                if (TableWhole()) frozen->verticalScrollBar()->setValue(this->table->verticalScrollBar()->value());
            });
    connect(table->horizontalHeader(), &QHeaderView::sectionResized, this, &FrozenColumn_cl::Follow);
    connect(table->model(), &QAbstractItemModel::columnsInserted, this, &FrozenColumn_cl::Follow);
    connect(table->model(), &QAbstractItemModel::modelReset, this, &FrozenColumn_cl::Follow);
    connect(table->model(), &QAbstractItemModel::layoutChanged, this, &FrozenColumn_cl::Follow);
    // The table's own events come before it lays out its viewport: the viewport's size
    // is the one to follow.
    table->installEventFilter(this);
    table->viewport()->installEventFilter(this);
    table->viewport()->stackUnder(frozen);
    Follow();
}

bool FrozenColumn_cl::TableWhole() const {
    // Once the table's own destructor has run, what is left of it is a plain widget that
    // still tells of its children going (its model among them): nothing to follow then.
    return qobject_cast<const QTableView*>(parent()) != nullptr;
}

bool FrozenColumn_cl::eventFilter(QObject* watched, QEvent* event) {
    if (!TableWhole()) return false;
    const bool resized = watched == table->viewport() && event->type() == QEvent::Resize;
    if (resized || (watched == table && (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange ||
                                         event->type() == QEvent::Show))) {
        Follow();
    }
    return QObject::eventFilter(watched, event);
}

void FrozenColumn_cl::Follow() {
    if (!TableWhole()) return;
    const int32_t columns = table->model()->columnCount();
    for (int32_t column = 1; column < columns; ++column) frozen->setColumnHidden(column, true);
    frozen->setVisible(columns > 1);
    if (columns == 0) return;
    frozen->setColumnHidden(0, false);
    frozen->setColumnWidth(0, table->columnWidth(0));
    frozen->setFont(table->font());
    frozen->verticalHeader()->setDefaultSectionSize(table->verticalHeader()->defaultSectionSize());
    frozen->horizontalHeader()->setFixedHeight(table->horizontalHeader()->height());
    frozen->setGeometry(table->frameWidth() + table->verticalHeader()->width(), table->frameWidth(), table->columnWidth(0),
                        table->viewport()->height() + table->horizontalHeader()->height());
    frozen->verticalScrollBar()->setValue(table->verticalScrollBar()->value());
}

}  // namespace CTL_ns
