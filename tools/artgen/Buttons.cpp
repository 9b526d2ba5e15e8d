#include "Buttons.h"

#include "Art.h"

#include <QLinearGradient>
#include <QPen>

#include <algorithm>

namespace art {

namespace {

enum class Look { Normal, Hover, Pressed, Disabled };

struct Palette {
    QColor top, bottom, border, text, textOutline;
};

Palette ThemePalette(Theme theme)
{
    switch (theme) {
    case Theme::Gold: return {QColor(255, 214, 92), QColor(214, 128, 20), QColor(140, 74, 8), QColor(255, 255, 255), QColor(130, 60, 0)};
    case Theme::Orange: return {QColor(255, 170, 90), QColor(220, 84, 30), QColor(140, 44, 10), QColor(255, 255, 255), QColor(120, 36, 0)};
    case Theme::Blue: return {QColor(110, 184, 255), QColor(30, 96, 200), QColor(16, 52, 120), QColor(255, 255, 255), QColor(10, 40, 110)};
    case Theme::Green: return {QColor(130, 222, 120), QColor(36, 140, 60), QColor(16, 84, 30), QColor(255, 255, 255), QColor(10, 70, 20)};
    case Theme::Red: return {QColor(255, 120, 110), QColor(196, 30, 40), QColor(120, 14, 20), QColor(255, 255, 255), QColor(110, 10, 16)};
    case Theme::Purple: return {QColor(196, 140, 255), QColor(110, 50, 190), QColor(64, 24, 120), QColor(255, 255, 255), QColor(54, 16, 100)};
    case Theme::Teal: return {QColor(110, 226, 214), QColor(20, 140, 140), QColor(8, 80, 84), QColor(255, 255, 255), QColor(4, 70, 70)};
    case Theme::Grey: return {QColor(214, 218, 226), QColor(120, 128, 140), QColor(70, 74, 84), QColor(255, 255, 255), QColor(50, 54, 64)};
    case Theme::Wood: return {QColor(214, 164, 110), QColor(140, 84, 40), QColor(86, 48, 20), QColor(255, 246, 220), QColor(80, 40, 10)};
    }
    return {};
}

void PaintGlyph(QPainter& painter, const QRectF& box, Glyph glyph, const QColor& fill, const QColor& outline)
{
    const qreal s = std::min(box.width(), box.height()) * 0.55;
    const QPointF c = box.center();
    QPainterPath path;
    switch (glyph) {
    case Glyph::None: return;
    case Glyph::Cross: {
        QPen pen(outline, s * 0.42, Qt::SolidLine, Qt::RoundCap);
        const qreal h = s * 0.42;
        painter.save();
        painter.setPen(pen);
        painter.drawLine(c + QPointF(-h, -h), c + QPointF(h, h));
        painter.drawLine(c + QPointF(-h, h), c + QPointF(h, -h));
        pen.setColor(fill);
        pen.setWidthF(s * 0.22);
        painter.setPen(pen);
        painter.drawLine(c + QPointF(-h, -h), c + QPointF(h, h));
        painter.drawLine(c + QPointF(-h, h), c + QPointF(h, -h));
        painter.restore();
        return;
    }
    case Glyph::ArrowUp:
        path.moveTo(c + QPointF(0, -s * 0.45));
        path.lineTo(c + QPointF(s * 0.6, s * 0.35));
        path.lineTo(c + QPointF(-s * 0.6, s * 0.35));
        break;
    case Glyph::ArrowDown:
        path.moveTo(c + QPointF(0, s * 0.45));
        path.lineTo(c + QPointF(s * 0.6, -s * 0.35));
        path.lineTo(c + QPointF(-s * 0.6, -s * 0.35));
        break;
    }
    path.closeSubpath();
    painter.save();
    painter.setPen(QPen(outline, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(fill);
    painter.drawPath(path);
    painter.restore();
}

void PaintLook(QPainter& painter, const QRectF& cell, const ButtonFace& face, Look look)
{
    Palette pal = ThemePalette(face.theme);
    if (face.swatch.isValid()) {
        pal.top = face.swatch.lighter(150);
        pal.bottom = face.swatch;
        pal.border = face.swatch.darker(220);
        pal.textOutline = face.swatch.darker(260);
    }
    switch (look) {
    case Look::Normal: break;
    case Look::Hover:
        pal.top = pal.top.lighter(118);
        pal.bottom = pal.bottom.lighter(122);
        break;
    case Look::Pressed:
        pal.top = pal.bottom.darker(115);
        pal.bottom = pal.bottom.lighter(110);
        break;
    case Look::Disabled:
        pal.top = Greyed(pal.top);
        pal.bottom = Greyed(pal.bottom);
        pal.border = Greyed(pal.border);
        pal.text = QColor(210, 210, 210);
        pal.textOutline = QColor(96, 96, 96);
        break;
    }

    const QRectF body = cell.adjusted(1, 1, -1, -2);
    const qreal radius = face.pill ? body.height() / 2 : std::min<qreal>(6, body.height() / 3);

    painter.save();
    // Drop shadow under a raised button.
    if (look != Look::Pressed) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 80));
        painter.drawRoundedRect(body.translated(0, 1.5), radius, radius);
    }
    const QRectF shape = look == Look::Pressed ? body.translated(0, 1) : body;
    FillRounded(painter, shape, radius, pal.top, pal.bottom, pal.border, 1.2);

    // Gloss on the upper half.
    if (look != Look::Disabled) {
        const QRectF gloss = shape.adjusted(2, 1.5, -2, -shape.height() * 0.5);
        QLinearGradient g(gloss.topLeft(), gloss.bottomLeft());
        g.setColorAt(0, QColor(255, 255, 255, look == Look::Pressed ? 40 : 110));
        g.setColorAt(1, QColor(255, 255, 255, 10));
        painter.setPen(Qt::NoPen);
        painter.setBrush(g);
        const qreal gr = std::max<qreal>(1, radius - 2);
        painter.drawRoundedRect(gloss, gr, gr);
    }
    if (look == Look::Hover) {
        painter.setPen(QPen(QColor(255, 255, 220, 170), 1.2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(shape.adjusted(1.2, 1.2, -1.2, -1.2), std::max<qreal>(1, radius - 1), std::max<qreal>(1, radius - 1));
    }

    const QRectF content = shape.adjusted(3, 1, -3, -1);
    if (face.glyph != Glyph::None)
        PaintGlyph(painter, content, face.glyph, pal.text, pal.textOutline);
    if (!face.label.isEmpty()) {
        const qreal px = std::clamp<qreal>(content.height() * 0.56, 10, 22);
        const qreal outline = px >= 14 ? 3 : 2;
        DrawText(painter, content, face.label, Font(px, QFont::Bold), pal.text, pal.textOutline, outline);
    }
    painter.restore();
}

} // namespace

QImage PaintButtonStrip(int lookWidth, int lookHeight, const ButtonFace& face)
{
    QImage image = NewCanvas(kButtonLooks * lookWidth, lookHeight);
    QPainter painter;
    Begin(painter, image);
    const Look looks[kButtonLooks] = {Look::Normal, Look::Hover, Look::Pressed, Look::Disabled};
    for (int i = 0; i < kButtonLooks; ++i)
        PaintLook(painter, QRectF(i * lookWidth, 0, lookWidth, lookHeight), face, looks[i]);
    painter.end();
    return image;
}

QImage PaintOpaqueButtonStrip(int lookWidth, int lookHeight, const ButtonFace& face, const QColor& backdrop, Backdrop mode)
{
    const QImage strip = PaintButtonStrip(lookWidth, lookHeight, face);
    return mode == Backdrop::Key ? FlattenOnKey(strip, backdrop) : FlattenOn(strip, backdrop);
}

QImage PaintButtonLook(int width, int height, const ButtonFace& face)
{
    return Paint(width, height, [&](QPainter& painter) {
        PaintLook(painter, QRectF(0, 0, width, height), face, Look::Normal);
    });
}

} // namespace art
