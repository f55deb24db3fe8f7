#include "WCrosstabChart.h"

#include "SystemInfo/Path.h"
#include "base/UserError.h"
#include "platform/prompt/Prompt.h"
#include "settings/Unique.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <QPieSeries>
#include <QPixmap>
#include <QPushButton>
#include <QScatterSeries>
#include <QSplitter>
#include <QStackedBarSeries>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

namespace Vorelle_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "图表保存失败，请检查文件夹是否可写、磁盘是否已满。"}};
    return Base_ns::UserError_cl(line, __FILE__, WCrosstabChart_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

const QString kPngFilter = QStringLiteral("PNG图片 (*.png)|*.png|");
const QString kPngFolderKey = QStringLiteral("图表文件目录");

// Axes and tips speak yuan with two decimals, as the tables do.
double Yuan(int64_t cents) { return double(cents) / 100.0; }
QString YuanText(double yuan) { return QString::number(yuan, 'f', 2) + QStringLiteral(" 元"); }

QChartView* MakeView(QWidget* parent) {
    auto* view = new QChartView(new QChart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->chart()->setAnimationOptions(QChart::NoAnimation);
    view->chart()->setMargins(QMargins(2, 2, 2, 2));
    view->chart()->legend()->setFont(parent->font());
    return view;
}

}  // namespace

WCrosstabChart_cl::WCrosstabChart_cl(QWidget* parent) : QWidget(parent) {
    views = new QSplitter(Qt::Horizontal, this);
    barView = MakeView(views);
    pieView = MakeView(views);
    static_cast<QSplitter*>(views)->setStretchFactor(0, 3);
    static_cast<QSplitter*>(views)->setStretchFactor(1, 2);
    hint = new QLabel(QStringLiteral("单击柱形选择饼图的时段；双击柱形或单击饼块查看该分类该时段的记录。"), this);
    saveButton = new QPushButton(QStringLiteral("保存图表(&S)"), this);
    saveButton->setObjectName(QString::number(IdSaveChart));
    auto* bar = new QHBoxLayout;
    bar->addWidget(hint, 1);
    bar->addWidget(saveButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->addLayout(bar);
    layout->addWidget(views, 1);
    connect(saveButton, &QPushButton::clicked, this, &WCrosstabChart_cl::OnSave);
}

WCrosstabChart_cl::~WCrosstabChart_cl() = default;

void WCrosstabChart_cl::Show(const CrosstabFigures_cl& shown) {
    figures = std::make_unique<CrosstabFigures_cl>(shown);
    QChart* chart = barView->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    barCategories.clear();
    planMarkers.clear();
    bars = new QStackedBarSeries;
    const int32_t periods = figures->PeriodCount();
    // Only categories with an expense somewhere get bars; their heights are what was spent.
    for (int32_t i = 0; i < figures->CategoryCount(); ++i) {
        QList<qreal> values;
        bool spent = false;
        for (int32_t j = 0; j < periods; ++j) {
            const int32_t cell = figures->Cell(i, j);
            values << (cell < 0 ? Yuan(-int64_t(cell)) : 0.0);
            spent = spent || cell < 0;
        }
        if (!spent) continue;
        auto* set = new QBarSet(figures->Category(i));
        set->append(values);
        set->setColor(QColor::fromRgb(figures->Colour(i)));
        set->setBorderColor(set->color());
        const int32_t category = i;
        connect(set, &QBarSet::hovered, this, [this, category](bool status, int index) {
            if (status) ShowTip(figures->Category(category), index, -Yuan(figures->Cell(category, index)));
        });
        connect(set, &QBarSet::clicked, this, [this](int index) { ShowPeriod(index); });
        connect(set, &QBarSet::doubleClicked, this, [this, category](int index) { emit EntriesWanted(category, index); });
        bars->append(set);
        barCategories << i;
    }
    balance = new QLineSeries;
    balance->setName(QStringLiteral("结余"));
    balance->setPointsVisible(true);
    QStringList captions;
    for (int32_t j = 0; j < periods; ++j) {
        captions << figures->Period(j);
        balance->append(j, Yuan(figures->Balance(j)));
    }
    chart->addSeries(bars);
    chart->addSeries(balance);
    // After adding: the chart's theme would paint over it.
    balance->setPen(QPen(Qt::black, 2));
    auto* periodAxis = new QBarCategoryAxis;
    periodAxis->append(captions);
    periodAxis->setLabelsAngle(captions.size() > 6 ? -90 : 0);
    // A long legend leaves the periods little room: a caption is shown whole rather than
    // cut to an ellipsis that names no period, on screen and in the saved picture.
    periodAxis->setTruncateLabels(false);
    auto* yuanAxis = new QValueAxis;
    yuanAxis->setLabelFormat(QStringLiteral("%.2f"));
    yuanAxis->setTitleText(QStringLiteral("元"));
    chart->addAxis(periodAxis, Qt::AlignBottom);
    chart->addAxis(yuanAxis, Qt::AlignLeft);
    for (QAbstractSeries* series : chart->series()) {
        series->attachAxis(periodAxis);
        series->attachAxis(yuanAxis);
    }
    // The range holds the bars and the balance, below zero too.
    qreal low = 0, high = 0;
    for (int32_t j = 0; j < periods; ++j) {
        low = std::min(low, Yuan(figures->Balance(j)));
        high = std::max({high, Yuan(figures->Balance(j)), Yuan(-figures->Expense(j))});
    }
    yuanAxis->setRange(low, high > low ? high : low + 1);
    yuanAxis->applyNiceNumbers();
    connect(balance, &QLineSeries::hovered, this, [this](const QPointF& point, bool state) {
        const int32_t index = int32_t(point.x() + 0.5);
        if (state && index >= 0 && index < figures->PeriodCount()) {
            ShowTip(balance->name(), index, Yuan(figures->Balance(index)));
        }
    });
    chart->legend()->setVisible(true);
    chart->legend()->setAlignment(Qt::AlignRight);

    int32_t latest = -1;
    for (int32_t j = 0; j < periods; ++j) {
        if (figures->Expense(j) < 0) latest = j;
    }
    ShowPeriod(latest);
}

void WCrosstabChart_cl::ShowPlans(const std::vector<std::pair<QString, int32_t>>& plans) {
    QChart* chart = barView->chart();
    const QList<QAbstractAxis*> periodAxes = chart->axes(Qt::Horizontal);
    const QList<QAbstractAxis*> yuanAxes = chart->axes(Qt::Vertical);
    if (!figures || periodAxes.isEmpty() || yuanAxes.isEmpty()) return;
    auto* yuanAxis = static_cast<QValueAxis*>(yuanAxes.first());
    for (const auto& [name, cents] : plans) {
        int32_t category = -1;
        for (const int32_t shown : barCategories) {
            if (figures->Category(shown) == name) category = shown;
        }
        if (category < 0) continue;
        auto* marker = new QScatterSeries;
        marker->setName(name + QStringLiteral("预算"));
        marker->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
        marker->setMarkerSize(9);
        for (int32_t j = 0; j < figures->PeriodCount(); ++j) marker->append(j, Yuan(cents));
        chart->addSeries(marker);
        marker->attachAxis(periodAxes.first());
        marker->attachAxis(yuanAxis);
        marker->setColor(QColor::fromRgb(figures->Colour(category)));
        marker->setBorderColor(Qt::black);
        // The markers tell by colour; the legend lists the categories once.
        for (QLegendMarker* legend : chart->legend()->markers(marker)) legend->setVisible(false);
        if (Yuan(cents) > yuanAxis->max()) yuanAxis->setMax(Yuan(cents));
        planMarkers << marker;
    }
    yuanAxis->applyNiceNumbers();
}

void WCrosstabChart_cl::ShowPeriod(int32_t shown) {
    QChart* chart = pieView->chart();
    chart->removeAllSeries();
    sliceCategories.clear();
    period = figures && shown >= 0 && shown < figures->PeriodCount() ? shown : -1;
    pie = new QPieSeries;
    pie->setHoleSize(0.35);
    chart->setTitle(period < 0 ? QStringLiteral("没有开销")
                               : figures->Period(period) + QStringLiteral(" 开销 ") + YuanText(Yuan(-figures->Expense(period))));
    if (period >= 0) {
        for (int32_t i = 0; i < figures->CategoryCount(); ++i) {
            const int32_t cell = figures->Cell(i, period);
            if (cell >= 0) continue;
            QPieSlice* slice = pie->append(figures->Category(i), Yuan(-int64_t(cell)));
            slice->setColor(QColor::fromRgb(figures->Colour(i)));
            const int32_t category = i;
            connect(slice, &QPieSlice::hovered, this, [this, category](bool state) {
                if (state) ShowTip(figures->Category(category), period, -Yuan(figures->Cell(category, period)));
            });
            connect(slice, &QPieSlice::clicked, this, [this, category] { emit EntriesWanted(category, period); });
            sliceCategories << i;
        }
    }
    // Names on the slices big enough to carry them; the legend names the rest.
    for (QPieSlice* slice : pie->slices()) {
        slice->setLabel(slice->label() + QStringLiteral(" %1%").arg(slice->percentage() * 100, 0, 'f', 0));
        slice->setLabelVisible(slice->percentage() >= 0.08);
    }
    chart->addSeries(pie);
    chart->legend()->setVisible(false);
}

int32_t WCrosstabChart_cl::BarCategory(int32_t set) const { return barCategories.value(set, -1); }

int32_t WCrosstabChart_cl::SliceCategory(int32_t slice) const { return sliceCategories.value(slice, -1); }

void WCrosstabChart_cl::ShowTip(const QString& category, int32_t shown, double yuan) {
    QToolTip::showText(QCursor::pos(), category + u' ' + figures->Period(shown) + QStringLiteral("：") + YuanText(yuan));
}

void WCrosstabChart_cl::Save(const QString& path) {
    if (!views->grab().save(path, "PNG")) throw UserError(101, __LINE__, path);
}

void WCrosstabChart_cl::OnSave() {
    try {
        Unique_ns::ICustom_cl& custom = Unique_ns::GetCustomFromDatabase();
        const QString path =
            Platform_ns::Prompt().SaveFile(this, kPngFilter, custom.ReadString(kPngFolderKey, QString()), QString());
        if (path.isEmpty()) return;
        custom.WriteString(kPngFolderKey, SystemInfo_ns::GetParentFolder(path));
        Save(path);
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

}  // namespace Vorelle_ns
