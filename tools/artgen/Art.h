#pragma once

// Drawing helpers shared by every picture family of the generator. All pictures are drawn with
// QPainter from shapes, gradients and text in one installed font, so the output depends only on
// this code, Qt and that font.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <functional>

namespace art {

inline constexpr const char* kFontFamily = "WenQuanYi Micro Hei";

// A fully transparent (or filled) ARGB canvas.
QImage NewCanvas(int width, int height, const QColor& fill = Qt::transparent);

QFont Font(qreal pixelSize, int weight = QFont::Bold);

// Begins painting with antialiasing for shapes and text.
void Begin(QPainter& painter, QImage& image);

// A transparent canvas of the given size with `draw` painted on it (antialiased, as Begin).
QImage Paint(int width, int height, const std::function<void(QPainter&)>& draw);

// The outline of a text line with its left end of the baseline at the origin.
QPainterPath TextPath(const QString& text, const QFont& font);

// Draws a text line inside `box`, aligned as asked (centred by default), optionally with an
// outline stroke under the fill. Text too large for the box is scaled down until it fits, so a
// label never spills out of its button or piece.
void DrawText(QPainter& painter, const QRectF& box, const QString& text, const QFont& font,
              const QColor& fill, const QColor& outline = Qt::transparent, qreal outlineWidth = 0,
              Qt::Alignment align = Qt::AlignCenter);

// A rounded rectangle with a vertical gradient and a border.
void FillRounded(QPainter& painter, const QRectF& box, qreal radius, const QColor& top,
                 const QColor& bottom, const QColor& border = Qt::transparent, qreal borderWidth = 1);

// A dark translucent plate with a light rim, the common look of the table's panels.
void DrawPlate(QPainter& painter, const QRectF& box, qreal radius, int alpha = 170);

// A five-pointed star centred at `centre`.
QPainterPath StarPath(const QPointF& centre, qreal outerRadius, qreal innerRadius, qreal rotationDeg = -90);

QColor WithAlpha(const QColor& colour, int alpha);
QColor Greyed(const QColor& colour);

// Small deterministic generator (xorshift64*), so every run draws the same pictures.
class Rng {
public:
    explicit Rng(uint64_t seed) : m_state(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    uint64_t Next();
    double Uniform(); // [0, 1)
    double Range(double low, double high) { return low + (high - low) * Uniform(); }
    int Below(int bound) { return static_cast<int>(Next() % static_cast<uint64_t>(bound)); }

private:
    uint64_t m_state;
};

// Turns a picture drawn with alpha into an opaque one for a colour-keyed bitmap: pixels at least
// half covered keep their colour (never exactly the key), the rest become the key colour. A hard
// threshold keeps antialiased edges from leaving a fringe tinted with the key.
QImage FlattenOnKey(const QImage& picture, const QColor& key);

// Composes a picture with alpha over an opaque fill (for JPEG and plain bitmaps).
QImage FlattenOn(const QImage& picture, const QColor& fill);

// Fine grain over a region, for felt and paper textures. The grain is drawn with plain pixel
// writes, so it is the same at every run.
void AddGrain(QImage& image, const QRect& area, int strength, uint64_t seed);

} // namespace art
