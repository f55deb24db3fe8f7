#pragma once

#include <QPaintDevice>
#include <QPaintEngine>
#include <QSize>
#include <QStringList>
#include <QLineF>
#include <QPainter>
#include <QTextItem>
#include <QTransform>

// A paint device that keeps the texts painted on it and nothing else: what a picture or
// a widget shows in words, to check that a caption reaches the painting, not only a model.
class PaintedText_cl : public QPaintDevice {
public:
    explicit PaintedText_cl(const QSize& size) : size(size), engine(texts, QRectF(QPointF(0, 0), size)) {}

    QPaintEngine* paintEngine() const override { return &engine; }
    // Every text painted, in one string (a caption may come in pieces).
    QString All() const { return texts.join(u'\n'); }

    QStringList texts;

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth: return size.width();
        case PdmHeight: return size.height();
        case PdmWidthMM: return size.width() * 254 / 960;
        case PdmHeightMM: return size.height() * 254 / 960;
        case PdmNumColors: return 0x7fffffff;
        case PdmDepth: return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return 96;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        }
        return 0;
    }

private:
    class Engine_cl : public QPaintEngine {
    public:
        Engine_cl(QStringList& texts, const QRectF& area) : QPaintEngine(AllFeatures), texts(texts), area(area) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        // The rest is no text: drawn nowhere, so that no default turns one into another.
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {}
        void drawTiledPixmap(const QRectF&, const QPixmap&, const QPointF&) override {}
        void drawPath(const QPainterPath&) override {}
        void drawRects(const QRectF*, int) override {}
        void drawRects(const QRect*, int) override {}
        void drawLines(const QLineF*, int) override {}
        void drawLines(const QLine*, int) override {}
        void drawEllipse(const QRectF&) override {}
        void drawEllipse(const QRect&) override {}
        void drawPoints(const QPointF*, int) override {}
        void drawPoints(const QPoint*, int) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawPolygon(const QPoint*, int, PolygonDrawMode) override {}
        // Kept when it is seen whole: within the picture and within any clipping, from
        // its start to its end.
        void drawTextItem(const QPointF& at, const QTextItem& item) override {
            const QLineF line(at, at + QPointF(item.width(), 0));
            const QTransform transform = painter()->combinedTransform();
            const QRectF room = area.adjusted(-1, -1, 1, 1);
            bool seen = room.contains(transform.map(line.p1())) && room.contains(transform.map(line.p2()));
            if (painter()->hasClipping()) {
                const QRectF clip = painter()->clipBoundingRect().adjusted(-1, -1, 1, 1);
                seen = seen && clip.contains(line.p1()) && clip.contains(line.p2());
            }
            if (seen) texts << item.text();
        }
        Type type() const override { return User; }

    private:
        QStringList& texts;
        QRectF area;
    };

    QSize size;
    mutable Engine_cl engine;
};
