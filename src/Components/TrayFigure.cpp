#include "Components/TrayFigure.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The sizes panels ask for; Qt sends a StatusNotifier host none above 64 px.
constexpr int kSizes[] = {16, 22, 24, 32, 48, 64};

QImage glyphIn(const QIcon& glyph, int size, const QColor& color) {
    QImage image = glyph.pixmap(QSize(size, size), 1.0)
                       .toImage()
                       .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), color);
    return image;
}

QPixmap outlinedAt(const QIcon& glyph, int size, const QColor& ink) {
    // About a pixel of ring at panel sizes; the figure shrinks by as much so the ring fits.
    const qreal ring = std::max(1.0, size / 22.0);
    const int inset = static_cast<int>(std::ceil(ring));
    const int inner = size - 2 * inset;
    const QImage halo = glyphIn(glyph, inner, TrayFigure::outlineFor(ink));
    QImage figure(size, size, QImage::Format_ARGB32_Premultiplied);
    figure.fill(Qt::transparent);
    QPainter painter(&figure);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int step = 0; step < 16; ++step) {
        const double angle = step * std::numbers::pi / 8;
        painter.drawImage(QPointF(inset + ring * std::cos(angle), inset + ring * std::sin(angle)),
                          halo);
    }
    painter.drawImage(QPoint(inset, inset), glyphIn(glyph, inner, ink));
    painter.end();
    return QPixmap::fromImage(figure);
}

// Pixels of our own that answer to a theme name.
class NamedPixelsEngine final : public QIconEngine {
public:
    NamedPixelsEngine(QIcon pixels, QString name)
        : pixels_(std::move(pixels)), name_(std::move(name)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        pixels_.paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return pixels_.actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return pixels_.pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return pixels_.pixmap(size, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return pixels_.availableSizes(mode, state);
    }
    QString iconName() override { return name_; }
    bool isNull() override { return pixels_.isNull(); }
    QString key() const override { return QStringLiteral("spindrel.named-pixels"); }
    QIconEngine* clone() const override { return new NamedPixelsEngine(pixels_, name_); }

private:
    QIcon pixels_;
    QString name_;
};

}  // namespace

namespace TrayFigure {

QColor outlineFor(const QColor& ink) {
    return ink.lightnessF() > 0.5 ? QColor(0x1a, 0x1a, 0x1a) : QColor(0xf6, 0xf6, 0xf6);
}

QIcon outlined(const QIcon& glyph, const QColor& ink) {
    QIcon icon;
    for (const int size : kSizes) {
        icon.addPixmap(outlinedAt(glyph, size, ink));
    }
    return icon;
}

QIcon tinted(const QIcon& glyph, const QColor& ink) {
    QIcon icon;
    for (const int size : kSizes) {
        icon.addPixmap(QPixmap::fromImage(glyphIn(glyph, size, ink)));
    }
    return icon;
}

QIcon named(const QIcon& pixels, const QString& themeName) {
    // QIcon owns its engine.
    return QIcon(new NamedPixelsEngine(pixels, themeName));
}

}  // namespace TrayFigure
