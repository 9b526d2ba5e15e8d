#include "Art.h"

#include <QLinearGradient>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace art {

QImage NewCanvas(int width, int height, const QColor& fill)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

QFont Font(qreal pixelSize, int weight)
{
    QFont font(QString::fromLatin1(kFontFamily));
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelSize))));
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

void Begin(QPainter& painter, QImage& image)
{
    painter.begin(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QImage Paint(int width, int height, const std::function<void(QPainter&)>& draw)
{
    QImage image = NewCanvas(width, height);
    QPainter painter;
    Begin(painter, image);
    draw(painter);
    painter.end();
    return image;
}

QPainterPath TextPath(const QString& text, const QFont& font)
{
    QPainterPath path;
    path.addText(QPointF(0, 0), font, text);
    return path;
}

void DrawText(QPainter& painter, const QRectF& box, const QString& text, const QFont& font,
              const QColor& fill, const QColor& outline, qreal outlineWidth, Qt::Alignment align)
{
    QPainterPath path = TextPath(text, font);
    const QRectF bounds = path.boundingRect();
    if (bounds.isEmpty())
        return;
    const qreal room = outlineWidth;
    const qreal scale =
        std::max(0.05, std::min({1.0, (box.width() - room) / bounds.width(), (box.height() - room) / bounds.height()}));
    const qreal w = bounds.width() * scale;
    const qreal h = bounds.height() * scale;
    qreal x = box.left() + (box.width() - w) / 2;
    if (align & Qt::AlignLeft)
        x = box.left() + room / 2;
    else if (align & Qt::AlignRight)
        x = box.right() - w - room / 2;
    qreal y = box.top() + (box.height() - h) / 2;
    if (align & Qt::AlignTop)
        y = box.top() + room / 2;
    else if (align & Qt::AlignBottom)
        y = box.bottom() - h - room / 2;

    QTransform transform;
    transform.translate(x, y);
    transform.scale(scale, scale);
    transform.translate(-bounds.left(), -bounds.top());
    path = transform.map(path);

    painter.save();
    if (outlineWidth > 0 && outline.alpha() > 0) {
        QPen pen(outline, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.strokePath(path, pen);
    }
    painter.fillPath(path, fill);
    painter.restore();
}

void FillRounded(QPainter& painter, const QRectF& box, qreal radius, const QColor& top, const QColor& bottom,
                 const QColor& border, qreal borderWidth)
{
    painter.save();
    QLinearGradient gradient(box.topLeft(), box.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    if (border.alpha() > 0 && borderWidth > 0)
        painter.setPen(QPen(border, borderWidth));
    else
        painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    const qreal inset = (border.alpha() > 0) ? borderWidth / 2 : 0;
    painter.drawRoundedRect(box.adjusted(inset, inset, -inset, -inset), radius, radius);
    painter.restore();
}

void DrawPlate(QPainter& painter, const QRectF& box, qreal radius, int alpha)
{
    FillRounded(painter, box, radius, QColor(18, 24, 32, alpha), QColor(6, 10, 14, alpha), QColor(214, 190, 128, 200), 1.5);
    painter.save();
    painter.setPen(QPen(QColor(255, 255, 255, 40), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(box.adjusted(3, 3, -3, -3), std::max<qreal>(radius - 3, 1), std::max<qreal>(radius - 3, 1));
    painter.restore();
}

QPainterPath StarPath(const QPointF& centre, qreal outerRadius, qreal innerRadius, qreal rotationDeg)
{
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const qreal r = (i % 2 == 0) ? outerRadius : innerRadius;
        const qreal a = (rotationDeg + i * 36.0) * std::numbers::pi / 180.0;
        const QPointF p(centre.x() + r * std::cos(a), centre.y() + r * std::sin(a));
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

QColor WithAlpha(const QColor& colour, int alpha)
{
    QColor c = colour;
    c.setAlpha(alpha);
    return c;
}

QColor Greyed(const QColor& colour)
{
    const int g = qGray(colour.rgb());
    const int v = 90 + g * 80 / 255;
    return QColor(v, v, v, colour.alpha());
}

uint64_t Rng::Next()
{
    m_state ^= m_state >> 12;
    m_state ^= m_state << 25;
    m_state ^= m_state >> 27;
    return m_state * 0x2545F4914F6CDD1Dull;
}

double Rng::Uniform()
{
    return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0);
}

QImage FlattenOnKey(const QImage& picture, const QColor& key)
{
    const QImage src = picture.convertToFormat(QImage::Format_ARGB32);
    QImage out(src.size(), QImage::Format_RGB32);
    const QRgb keyRgb = key.rgb() | 0xFF000000u;
    for (int y = 0; y < src.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            const QRgb p = in[x];
            if (qAlpha(p) < 128) {
                line[x] = keyRgb;
                continue;
            }
            QRgb c = qRgb(qRed(p), qGreen(p), qBlue(p));
            if (c == keyRgb)
                c = qRgb(qRed(p) ^ 1, qGreen(p) ^ 1, qBlue(p) ^ 1);
            line[x] = c;
        }
    }
    return out;
}

QImage FlattenOn(const QImage& picture, const QColor& fill)
{
    QImage out(picture.size(), QImage::Format_RGB32);
    out.fill(fill);
    QPainter painter(&out);
    painter.drawImage(0, 0, picture);
    painter.end();
    return out;
}

void AddGrain(QImage& image, const QRect& area, int strength, uint64_t seed)
{
    Rng rng(seed);
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = r.left(); x <= r.right(); ++x) {
            const int d = rng.Below(2 * strength + 1) - strength;
            const QRgb p = line[x];
            if (qAlpha(p) == 0)
                continue;
            // Premultiplied pixels: keep each channel within its alpha.
            const int a = qAlpha(p);
            const auto clamp = [a](int v) { return std::clamp(v, 0, a); };
            line[x] = qRgba(clamp(qRed(p) + d), clamp(qGreen(p) + d), clamp(qBlue(p) + d), a);
        }
    }
}

} // namespace art
