#include "WCrosstabChart.h"

#include "ConvertInfo.h"
#include "SystemInfo/Path.h"
#include "base/UserError.h"
#include "platform/prompt/Prompt.h"
#include "settings/Unique.h"

#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QGraphicsLayout>
#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <QPieSeries>
#include <QPushButton>
#include <QSplitter>
#include <QStackedBarSeries>
#include <QTextDocument>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

namespace Vorelle_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "图表保存失败，请检查文件夹是否可写、磁盘是否已满。"}};
    return Base_ns::UserError_cl(line, __FILE__, WCrosstabChart_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

const QString kPngFilter = QStringLiteral("PNG图片 (*.png)|*.png|");
const QString kPngFolderKey = QStringLiteral("图表文件目录");
constexpr QSize kPictureSize(1600, 900);
// A size beyond these is a damaged setting, not a wish: the default is drawn instead.
constexpr int32_t kSmallestSide = 320;
constexpr int32_t kLargestSide = 8000;
// A plan mark spans a little more than its bar (half a period wide), to show past it.
constexpr qreal kMarkHalfWidth = 0.32;
constexpr int32_t kUprightCaptions = 6;  // more periods than this: captions stand upright

double Yuan(int64_t cents) { return double(cents) / 100.0; }
QString YuanText(int64_t cents) {
    return ConvertInfo_cl::MoneyToText(cents, ConvertInfo_cl::Decimals_en::Two) + QStringLiteral(" 元");
}

QChartView* MakeView(QWidget* parent) {
    auto* view = new QChartView(new QChart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->chart()->setAnimationOptions(QChart::NoAnimation);
    view->chart()->setMargins(QMargins(2, 2, 2, 2));
    view->chart()->legend()->setVisible(false);
    return view;
}

// The smallest round step (1, 2, 2.5 or 5 times a power of ten) that covers span in at
// most five intervals.
qreal RoundStep(qreal span) {
    const qreal raw = span / 5;
    const qreal power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const qreal factor : {1.0, 2.0, 2.5, 5.0}) {
        if (factor * power >= raw) return factor * power;
    }
    return 10 * power;
}

// The periods that get a caption when every step-th has room: the first, the last, and
// every step-th between that leaves the last its room.
QList<int32_t> CaptionedPeriods(int32_t periods, int32_t step) {
    QList<int32_t> captioned;
    for (int32_t j = 0; j < periods - 1; j += step) captioned << j;
    if (captioned.size() > 1 && periods - 1 - captioned.last() < step) captioned.removeLast();
    if (periods > 0) captioned << periods - 1;
    return captioned;
}

QString LegendEntry(QRgb colour, const QString& mark, const QString& name) {
    return QStringLiteral("<span style=\"white-space:nowrap\"><span style=\"color:%1\">%2</span>&nbsp;%3</span>")
        .arg(QColor(colour).name(), mark, name.toHtmlEscaped());
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
    // One legend for both charts, wrapped over as many lines as it needs: a legend inside
    // a chart drops the entries it has no room for.
    legend = new QLabel(this);
    legend->setObjectName(QString::number(IdLegend));
    legend->setWordWrap(true);
    legend->setTextFormat(Qt::RichText);
    auto* bar = new QHBoxLayout;
    bar->addWidget(hint, 1);
    bar->addWidget(saveButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->addLayout(bar);
    layout->addWidget(legend);
    layout->addWidget(views, 1);
    connect(saveButton, &QPushButton::clicked, this, &WCrosstabChart_cl::OnSave);
    connect(barView->chart(), &QChart::plotAreaChanged, this, &WCrosstabChart_cl::LayOut);
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
    for (const PlanMark_st& mark : planMarks) delete mark.line;
    planMarks.clear();
    plannedCents.clear();
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
            if (status) ShowTip(figures->Category(category), index, -int64_t(figures->Cell(category, index)));
        });
        connect(set, &QBarSet::clicked, this, [this](int index) { ShowPeriod(index); });
        connect(set, &QBarSet::doubleClicked, this, [this, category](int index) { emit EntriesWanted(category, index); });
        bars->append(set);
        barCategories << i;
    }
    balance = new QLineSeries;
    balance->setName(QStringLiteral("结余"));
    balance->setPointsVisible(true);
    for (int32_t j = 0; j < periods; ++j) balance->append(j, Yuan(figures->Balance(j)));
    chart->addSeries(bars);
    chart->addSeries(balance);
    // After adding: the chart's theme would paint over it.
    balance->setPen(QPen(Qt::black, 2));
    // A value axis with captions where there is room: a category axis drops the captions
    // it cannot fit, the first and the last among them.
    periodAxis = new QCategoryAxis;
    periodAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    periodAxis->setGridLineVisible(false);
    periodAxis->setLabelsAngle(periods > kUprightCaptions ? -90 : 0);
    periodAxis->setTruncateLabels(false);
    labelStep = 0;
    yuanAxis = new QValueAxis;
    yuanAxis->setLabelFormat(QStringLiteral("%.2f"));
    yuanAxis->setTitleText(QStringLiteral("元"));
    chart->addAxis(periodAxis, Qt::AlignBottom);
    chart->addAxis(yuanAxis, Qt::AlignLeft);
    for (QAbstractSeries* series : chart->series()) {
        series->attachAxis(periodAxis);
        series->attachAxis(yuanAxis);
    }
    FitYuanAxis();
    connect(balance, &QLineSeries::hovered, this, [this](const QPointF& point, bool state) {
        const int32_t index = int32_t(point.x() + 0.5);
        if (state && index >= 0 && index < figures->PeriodCount()) ShowTip(balance->name(), index, figures->Balance(index));
    });
    legend->setText(LegendText());
    LayOut();

    int32_t latest = -1;
    for (int32_t j = 0; j < periods; ++j) {
        if (figures->Expense(j) < 0) latest = j;
        if (figures->Period(j) == pickedPeriod) return DrawPeriod(j);
    }
    DrawPeriod(latest);
}

void WCrosstabChart_cl::FitYuanAxis() {
    // The range holds every bar whole, the balance (below zero too) and the plans, and
    // not much more: round steps to just above the highest.
    qreal low = 0, high = 0;
    for (int32_t j = 0; j < figures->PeriodCount(); ++j) {
        qreal stacked = 0;
        for (const QBarSet* set : bars->barSets()) stacked += set->at(j);
        low = std::min(low, Yuan(figures->Balance(j)));
        high = std::max({high, Yuan(figures->Balance(j)), stacked});
    }
    for (const int32_t cents : plannedCents) high = std::max(high, Yuan(cents));
    const qreal step = high > low ? RoundStep(high - low) : 1;
    const qreal bottom = std::floor(low / step) * step;
    const qreal top = std::ceil(high / step) * step;
    yuanAxis->setRange(bottom, top > bottom ? top : bottom + step);
    yuanAxis->setTickCount(int(std::lround((yuanAxis->max() - bottom) / step)) + 1);
}

void WCrosstabChart_cl::ShowPlans(const std::vector<std::pair<QString, int32_t>>& plans) {
    if (!figures || bars == nullptr) return;
    QChart* chart = barView->chart();
    for (const auto& [name, cents] : plans) {
        int32_t category = -1;
        for (const int32_t shown : barCategories) {
            if (figures->Category(shown) == name) category = shown;
        }
        if (category < 0) continue;
        plannedCents << cents;
        for (int32_t j = 0; j < figures->PeriodCount(); ++j) {
            auto* line = new QGraphicsLineItem(chart);
            // A black edge under the colour: the mark shows over a bar of its own colour.
            line->setPen(QPen(Qt::black, 5, Qt::SolidLine, Qt::FlatCap));
            auto* colour = new QGraphicsLineItem(line);
            colour->setPen(QPen(QColor::fromRgb(figures->Colour(category)), 3, Qt::SolidLine, Qt::FlatCap));
            line->setZValue(10);
            line->setToolTip(name + QStringLiteral("预算 ") + YuanText(cents));
            planMarks.append({name, j, cents, line});
        }
    }
    FitYuanAxis();
    legend->setText(LegendText());
    LayOut();
}

void WCrosstabChart_cl::LayOut() {
    if (!figures || periodAxis == nullptr) return;
    QChart* chart = barView->chart();
    const int32_t periods = figures->PeriodCount();
    const QFontMetricsF metrics(periodAxis->labelsFont());
    qreal pitch = metrics.height() * 1.3;  // upright captions stand a line apart
    if (periods <= kUprightCaptions) {
        for (int32_t j = 0; j < periods; ++j) pitch = std::max(pitch, metrics.horizontalAdvance(figures->Period(j)) * 1.2);
    }
    const qreal room = chart->plotArea().width();
    const int32_t step = room > 0 ? std::max(1, int32_t(std::ceil(periods * pitch / room))) : 1;
    if (step != labelStep) {
        labelStep = step;
        for (const QString& caption : periodAxis->categoriesLabels()) periodAxis->remove(caption);
        periodAxis->setStartValue(-0.5);
        for (const int32_t j : CaptionedPeriods(periods, step)) periodAxis->append(figures->Period(j), j);
        // Whole bars at both ends.
        periodAxis->setRange(-0.5, periods - 0.5);
    }
    const QRectF plot = chart->plotArea();
    const auto at = [&](qreal x, qreal yuan) {
        return QPointF(plot.left() + (x - periodAxis->min()) / (periodAxis->max() - periodAxis->min()) * plot.width(),
                       plot.bottom() - (yuan - yuanAxis->min()) / (yuanAxis->max() - yuanAxis->min()) * plot.height());
    };
    for (const PlanMark_st& mark : planMarks) {
        const QLineF line(at(mark.period - kMarkHalfWidth, Yuan(mark.cents)), at(mark.period + kMarkHalfWidth, Yuan(mark.cents)));
        mark.line->setLine(line);
        static_cast<QGraphicsLineItem*>(mark.line->childItems().first())->setLine(line.p1().x() + 1, line.p1().y(),
                                                                                 line.p2().x() - 1, line.p2().y());
    }
}

QStringList WCrosstabChart_cl::PeriodLabels() const {
    QStringList labels;
    if (!figures) return labels;
    for (int32_t j = 0; j < figures->PeriodCount(); ++j) labels << QString();
    for (const QString& caption : periodAxis->categoriesLabels()) {
        const qreal at = periodAxis->endValue(caption);
        const int32_t j = int32_t(std::lround(at));
        if (j >= 0 && j < labels.size() && std::abs(at - j) < 1e-6) labels[j] = caption;
    }
    return labels;
}

QString WCrosstabChart_cl::LegendText() const {
    QStringList entries;
    for (const int32_t i : barCategories) entries << LegendEntry(figures->Colour(i), QStringLiteral("■"), figures->Category(i));
    if (figures && figures->PeriodCount() > 0) entries << LegendEntry(0, QStringLiteral("━●━"), QStringLiteral("结余"));
    if (!planMarks.isEmpty()) entries << LegendEntry(0, QStringLiteral("▬"), QStringLiteral("预算（每月，分类的颜色）"));
    return entries.join(QStringLiteral("&nbsp;&nbsp; "));
}

void WCrosstabChart_cl::ShowPeriod(int32_t shown) {
    pickedPeriod = figures && shown >= 0 && shown < figures->PeriodCount() ? figures->Period(shown) : QString();
    DrawPeriod(shown);
}

void WCrosstabChart_cl::DrawPeriod(int32_t shown) {
    QChart* chart = pieView->chart();
    chart->removeAllSeries();
    sliceCategories.clear();
    period = figures && shown >= 0 && shown < figures->PeriodCount() ? shown : -1;
    pie = new QPieSeries;
    pie->setHoleSize(0.35);
    chart->setTitle(period < 0 ? QStringLiteral("没有开销")
                               : figures->Period(period) + QStringLiteral(" 开销 ") + YuanText(-figures->Expense(period)));
    if (period >= 0) {
        for (int32_t i = 0; i < figures->CategoryCount(); ++i) {
            const int32_t cell = figures->Cell(i, period);
            if (cell >= 0) continue;
            QPieSlice* slice = pie->append(figures->Category(i), Yuan(-int64_t(cell)));
            slice->setColor(QColor::fromRgb(figures->Colour(i)));
            const int32_t category = i;
            connect(slice, &QPieSlice::hovered, this, [this, category](bool state) {
                if (state) ShowTip(figures->Category(category), period, -int64_t(figures->Cell(category, period)));
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

void WCrosstabChart_cl::ShowTip(const QString& category, int32_t shown, int64_t cents) {
    QToolTip::showText(QCursor::pos(), category + u' ' + figures->Period(shown) + QStringLiteral("：") + YuanText(cents));
}

QSize WCrosstabChart_cl::PictureSize() {
    Unique_ns::ICustom_cl& custom = Unique_ns::GetCustomFromFile();
    const QSize size(custom.ReadInteger(PictureWidthKey, kPictureSize.width()),
                     custom.ReadInteger(PictureHeightKey, kPictureSize.height()));
    const auto fits = [](int32_t side) { return side >= kSmallestSide && side <= kLargestSide; };
    return fits(size.width()) && fits(size.height()) ? size : kPictureSize;
}

void WCrosstabChart_cl::Paint(QPainter& painter, const QSize& size) {
    constexpr int32_t margin = 12;
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    QTextDocument text;
    text.setDefaultFont(legend->font());
    text.setHtml(LegendText());
    text.setTextWidth(size.width() - 2 * margin);
    painter.save();
    painter.translate(margin, margin);
    text.drawContents(&painter);
    painter.restore();
    const int32_t top = int32_t(std::ceil(text.size().height())) + 2 * margin;
    const int32_t split = size.width() * 3 / 5;
    // Each chart is laid out at its part of the picture, drawn, and given back its place
    // on screen: the picture is drawn from the charts alone, without the widgets around.
    const auto draw = [&](QChartView* view, const QRect& target) {
        QChart* chart = view->chart();
        const QRectF kept = chart->geometry();
        chart->setGeometry(QRectF(QPointF(0, 0), target.size()));
        chart->layout()->activate();
        if (view == barView) {
            LayOut();
            chart->layout()->activate();
        }
        view->scene()->render(&painter, target, QRectF(QPointF(0, 0), target.size()));
        chart->setGeometry(kept);
        chart->layout()->activate();
    };
    draw(barView, QRect(0, top, split, size.height() - top));
    draw(pieView, QRect(split, top, size.width() - split, size.height() - top));
    LayOut();
}

void WCrosstabChart_cl::Save(const QString& path) {
    const QSize size = PictureSize();
    QImage picture(size, QImage::Format_ARGB32);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        Paint(painter, size);
    }
    if (!picture.save(path, "PNG")) throw UserError(101, __LINE__, path);
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
