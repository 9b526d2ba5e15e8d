#include "Animations.h"

#include "Art.h"
#include "Cards.h"
#include "Figures.h"

#include <QLinearGradient>
#include <QPen>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace art {

namespace {

constexpr double kPi = std::numbers::pi;

qreal Ease(qreal t)
{
    t = std::clamp<qreal>(t, 0, 1);
    return 1 - (1 - t) * (1 - t);
}

void Spark(QPainter& painter, const QPointF& c, qreal r, const QColor& colour)
{
    QRadialGradient g(c, r);
    g.setColorAt(0, QColor(255, 255, 240, colour.alpha()));
    g.setColorAt(0.35, colour);
    g.setColorAt(1, WithAlpha(colour, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(g);
    painter.drawEllipse(c, r, r);
}

void Puff(QPainter& painter, const QPointF& c, qreal r, int alpha, const QColor& tone = QColor(200, 200, 200))
{
    QRadialGradient g(c, r);
    g.setColorAt(0, WithAlpha(tone.lighter(115), alpha));
    g.setColorAt(0.7, WithAlpha(tone, alpha * 2 / 3));
    g.setColorAt(1, WithAlpha(tone, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(g);
    painter.drawEllipse(c, r, r);
}

void Petal(QPainter& painter, const QPointF& c, qreal size, qreal angle, const QColor& colour)
{
    painter.save();
    painter.translate(c);
    painter.rotate(angle);
    for (int i = 0; i < 5; ++i) {
        painter.rotate(72);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(QRectF(-size * 0.22, -size * 0.55, size * 0.44, size * 0.5));
    }
    painter.setBrush(QColor(255, 230, 90));
    painter.drawEllipse(QPointF(0, 0), size * 0.16, size * 0.16);
    painter.restore();
}

// The falling flowers shared by the flower and spring strips.
void FlowerShower(QPainter& painter, const QRectF& f, int index, int count, uint64_t seed)
{
    Rng rng(seed);
    const QColor colours[4] = {QColor(255, 110, 150), QColor(255, 180, 60), QColor(250, 90, 90), QColor(255, 160, 220)};
    const qreal t = static_cast<qreal>(index) / std::max(1, count - 1);
    for (int i = 0; i < 26; ++i) {
        const qreal x0 = rng.Range(0.05, 0.95);
        const qreal start = rng.Range(-0.6, 0.3);
        const qreal speed = rng.Range(0.9, 1.5);
        const qreal size = rng.Range(14, 26);
        const qreal spin = rng.Range(-200, 200);
        const QColor colour = colours[rng.Below(4)];
        const qreal y = start + t * speed;
        if (y < -0.1 || y > 1.1)
            continue;
        const qreal sway = std::sin((t * 3 + x0 * 7) * kPi) * 0.04;
        QColor c = colour;
        if (t > 0.8)
            c.setAlpha(static_cast<int>(255 * (1 - (t - 0.8) / 0.2)));
        Petal(painter, QPointF(f.left() + (x0 + sway) * f.width(), f.top() + y * f.height()), size, spin * t, c);
    }
}

void SpringWord(QPainter& painter, const QRectF& f, int index, int count, const QString& word, const QColor& colour)
{
    FlowerShower(painter, f, index, count, word.size() > 0 ? 0x5A17 + word.at(0).unicode() : 1);
    const qreal grow = Ease(index / 6.0);
    const qreal pulse = index >= 6 ? 1.0 + 0.04 * std::sin(index * 1.3) : 1.0;
    const qreal fade = index >= count - 3 ? (count - index) / 4.0 : 1.0;
    const qreal w = f.width() * 0.8 * grow * pulse;
    const qreal h = f.height() * 0.45 * grow * pulse;
    if (w < 4)
        return;
    const QRectF box(f.center().x() - w / 2, f.center().y() - h / 2, w, h);
    painter.save();
    painter.setOpacity(fade);
    DrawText(painter, box, word, Font(h, QFont::Black), colour, QColor(255, 255, 255), std::max<qreal>(2, h / 12));
    painter.restore();
}

void RocketBody(QPainter& painter, const QRectF& f, int index)
{
    const qreal cx = f.center().x();
    const qreal top = f.top() + 8;
    const qreal bodyBottom = f.top() + f.height() * 0.72;
    const qreal halfW = f.width() * 0.2;

    // Flame first, so the body covers its root.
    const qreal flameLen = f.height() * (index % 2 ? 0.26 : 0.2);
    QPainterPath flame;
    flame.moveTo(cx - halfW * 0.8, bodyBottom - 4);
    flame.quadTo(cx - halfW * 0.6, bodyBottom + flameLen * 0.6, cx, bodyBottom + flameLen);
    flame.quadTo(cx + halfW * 0.6, bodyBottom + flameLen * 0.6, cx + halfW * 0.8, bodyBottom - 4);
    flame.closeSubpath();
    QLinearGradient fg(cx, bodyBottom, cx, bodyBottom + flameLen);
    fg.setColorAt(0, QColor(255, 255, 220));
    fg.setColorAt(0.4, QColor(255, 200, 40));
    fg.setColorAt(1, QColor(255, 60, 20, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fg);
    painter.drawPath(flame);
    Puff(painter, QPointF(cx - halfW * (index % 2 ? 1.2 : 0.6), bodyBottom + flameLen * 0.9), halfW * 0.9, 120);
    Puff(painter, QPointF(cx + halfW * (index % 2 ? 0.7 : 1.3), bodyBottom + flameLen * 1.05), halfW * 0.8, 100);

    // Fins.
    painter.setBrush(QColor(200, 30, 40));
    painter.setPen(QPen(QColor(110, 10, 20), 1.5));
    QPainterPath fins;
    fins.moveTo(cx - halfW, bodyBottom - 50);
    fins.lineTo(cx - halfW * 2.0, bodyBottom + 6);
    fins.lineTo(cx - halfW, bodyBottom - 6);
    fins.closeSubpath();
    fins.moveTo(cx + halfW, bodyBottom - 50);
    fins.lineTo(cx + halfW * 2.0, bodyBottom + 6);
    fins.lineTo(cx + halfW, bodyBottom - 6);
    fins.closeSubpath();
    painter.drawPath(fins);

    // Body with a nose cone.
    QPainterPath body;
    body.moveTo(cx, top);
    body.cubicTo(cx + halfW * 1.2, top + 40, cx + halfW, top + 70, cx + halfW, top + 80);
    body.lineTo(cx + halfW, bodyBottom);
    body.lineTo(cx - halfW, bodyBottom);
    body.lineTo(cx - halfW, top + 80);
    body.cubicTo(cx - halfW, top + 70, cx - halfW * 1.2, top + 40, cx, top);
    body.closeSubpath();
    QLinearGradient bg(cx - halfW, 0, cx + halfW, 0);
    bg.setColorAt(0, QColor(190, 190, 200));
    bg.setColorAt(0.4, QColor(255, 255, 255));
    bg.setColorAt(1, QColor(150, 150, 164));
    painter.setBrush(bg);
    painter.setPen(QPen(QColor(80, 80, 96), 1.5));
    painter.drawPath(body);
    painter.save();
    painter.setClipPath(body);
    painter.fillRect(QRectF(cx - halfW * 1.3, top, halfW * 2.6, 56), QColor(220, 30, 40));
    painter.restore();
    // Window and the word.
    painter.setBrush(QColor(120, 200, 255));
    painter.setPen(QPen(QColor(60, 60, 80), 2));
    painter.drawEllipse(QPointF(cx, top + 82), halfW * 0.5, halfW * 0.5);
    const QString word = QStringLiteral("火箭");
    for (int i = 0; i < 2; ++i)
        DrawText(painter, QRectF(cx - halfW * 0.8, top + 106 + i * 34, halfW * 1.6, 32), word.mid(i, 1), Font(28, QFont::Black),
                 QColor(220, 30, 40), QColor(255, 255, 255), 2);
}

void Plane(QPainter& painter, const QRectF& f, int index)
{
    const qreal cy = f.center().y();
    const qreal nose = f.left() + 22;
    const qreal tail = f.right() - 40;
    // Contrails behind.
    for (int i = 0; i < 3; ++i)
        Puff(painter, QPointF(f.right() - 24 + i * 8 - index * 3, cy - 8 + i * 6), 10 + i * 3, 70 - i * 15, QColor(240, 240, 250));

    // Wings.
    painter.setPen(QPen(QColor(40, 60, 110), 1.5));
    painter.setBrush(QColor(70, 120, 210));
    QPainterPath wings;
    wings.moveTo(nose + 70, cy - 4);
    wings.lineTo(nose + 120, cy - 56);
    wings.lineTo(nose + 140, cy - 56);
    wings.lineTo(nose + 118, cy - 4);
    wings.closeSubpath();
    painter.drawPath(wings);
    // Fuselage.
    QPainterPath body;
    body.moveTo(nose, cy);
    body.cubicTo(nose + 10, cy - 20, nose + 50, cy - 20, nose + 90, cy - 18);
    body.lineTo(tail, cy - 10);
    body.lineTo(tail + 14, cy - 44);
    body.lineTo(tail + 30, cy - 44);
    body.lineTo(tail + 26, cy + 8);
    body.cubicTo(nose + 60, cy + 20, nose + 10, cy + 18, nose, cy);
    body.closeSubpath();
    QLinearGradient g(0, cy - 20, 0, cy + 20);
    g.setColorAt(0, QColor(255, 255, 255));
    g.setColorAt(1, QColor(170, 180, 200));
    painter.setBrush(g);
    painter.setPen(QPen(QColor(60, 70, 100), 1.5));
    painter.drawPath(body);
    painter.setBrush(QColor(40, 90, 190));
    painter.setPen(Qt::NoPen);
    painter.drawRect(QRectF(nose + 30, cy - 2, tail - nose - 26, 5));
    // Cockpit windows.
    painter.setBrush(QColor(90, 170, 240));
    for (int i = 0; i < 5; ++i)
        painter.drawEllipse(QPointF(nose + 48 + i * 16, cy - 9), 3.5, 3.5);
    painter.setBrush(QColor(40, 60, 100));
    painter.drawEllipse(QPointF(nose + 16, cy - 8), 7, 4);
    // Lower wing, nearer the viewer.
    painter.setPen(QPen(QColor(40, 60, 110), 1.5));
    painter.setBrush(QColor(90, 140, 230));
    QPainterPath lower;
    lower.moveTo(nose + 76, cy + 6);
    lower.lineTo(nose + 126, cy + 52);
    lower.lineTo(nose + 148, cy + 52);
    lower.lineTo(nose + 124, cy + 6);
    lower.closeSubpath();
    painter.drawPath(lower);
    // Propeller: three blurred positions.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(60, 60, 60, 150));
    const qreal a = index * 60.0 * kPi / 180.0;
    const qreal len = 24;
    painter.drawEllipse(QPointF(nose - 2, cy + std::sin(a) * len * 0.5), 3, len * 0.5 * std::abs(std::cos(a)) + 3);
    painter.setBrush(QColor(200, 200, 200, 80));
    painter.drawEllipse(QPointF(nose - 2, cy), 4, len);
    DrawText(painter, QRectF(nose + 60, cy - 40, 80, 30), QStringLiteral("飞机"), Font(24, QFont::Black), QColor(255, 210, 40),
             QColor(120, 40, 0), 3);
}

void Bomb(QPainter& painter, const QPointF& c, qreal r, int index)
{
    // Fuse and its spark.
    painter.setPen(QPen(QColor(150, 110, 60), 3, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    QPainterPath fuse;
    const qreal burnt = index * 0.1;
    fuse.moveTo(c + QPointF(r * 0.5, -r * 0.75));
    fuse.quadTo(c + QPointF(r * 0.9, -r * (1.5 - burnt)), c + QPointF(r * (1.2 - burnt * 0.5), -r * (1.25 - burnt * 0.6)));
    painter.drawPath(fuse);
    Spark(painter, fuse.currentPosition(), 10 + (index % 2) * 5, QColor(255, 180, 40, 230));

    QRadialGradient g(c - QPointF(r * 0.35, r * 0.35), r * 1.3);
    g.setColorAt(0, QColor(130, 130, 140));
    g.setColorAt(0.5, QColor(50, 50, 58));
    g.setColorAt(1, QColor(20, 20, 24));
    painter.setPen(QPen(QColor(10, 10, 12), 1.5));
    painter.setBrush(g);
    painter.drawEllipse(c, r, r);
    painter.setBrush(QColor(70, 70, 78));
    painter.drawRoundedRect(QRectF(c.x() + r * 0.25, c.y() - r * 0.95, r * 0.5, r * 0.3), 3, 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 90));
    painter.drawEllipse(c - QPointF(r * 0.4, r * 0.4), r * 0.18, r * 0.12);
}

void Medal(QPainter& painter, const QPointF& c, qreal r)
{
    // Ribbons, then the disc.
    painter.setPen(QPen(QColor(120, 20, 30), 1.5));
    painter.setBrush(QColor(220, 40, 60));
    QPainterPath ribbon;
    ribbon.moveTo(c + QPointF(-r * 0.6, r * 0.4));
    ribbon.lineTo(c + QPointF(-r * 0.95, r * 1.5));
    ribbon.lineTo(c + QPointF(-r * 0.6, r * 1.3));
    ribbon.lineTo(c + QPointF(-r * 0.35, r * 1.55));
    ribbon.lineTo(c + QPointF(-r * 0.1, r * 0.6));
    ribbon.closeSubpath();
    ribbon.moveTo(c + QPointF(r * 0.6, r * 0.4));
    ribbon.lineTo(c + QPointF(r * 0.95, r * 1.5));
    ribbon.lineTo(c + QPointF(r * 0.6, r * 1.3));
    ribbon.lineTo(c + QPointF(r * 0.35, r * 1.55));
    ribbon.lineTo(c + QPointF(r * 0.1, r * 0.6));
    ribbon.closeSubpath();
    painter.drawPath(ribbon);
    QRadialGradient g(c - QPointF(r * 0.3, r * 0.3), r * 1.3);
    g.setColorAt(0, QColor(255, 246, 170));
    g.setColorAt(0.6, QColor(240, 180, 40));
    g.setColorAt(1, QColor(170, 100, 10));
    painter.setPen(QPen(QColor(130, 70, 0), 2));
    painter.setBrush(g);
    painter.drawEllipse(c, r, r);
    painter.setPen(QPen(QColor(255, 240, 180), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(c, r * 0.8, r * 0.8);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(230, 60, 40));
    painter.drawPath(StarPath(c, r * 0.55, r * 0.24));
}

} // namespace

QImage PaintStrip(int frames, int frameWidth, int frameHeight, FramePainter paint, StripDirection direction)
{
    const bool across = direction == StripDirection::Across;
    QImage image = NewCanvas(across ? frames * frameWidth : frameWidth, across ? frameHeight : frames * frameHeight);
    QPainter painter;
    Begin(painter, image);
    for (int i = 0; i < frames; ++i) {
        const QRectF frame(across ? i * frameWidth : 0, across ? 0 : i * frameHeight, frameWidth, frameHeight);
        painter.save();
        painter.setClipRect(frame);
        paint(painter, frame, i, frames);
        painter.restore();
    }
    painter.end();
    return image;
}

void PaintBombFrame(QPainter& painter, const QRectF& f, int index, int count)
{
    const QPointF c = f.center() + QPointF(0, f.height() * 0.06);
    constexpr int fuseFrames = 8;
    if (index < fuseFrames) {
        // The bomb drops in and its fuse burns down.
        const qreal drop = Ease((index + 1) / 4.0);
        const QPointF at(c.x(), f.top() + (c.y() - f.top()) * drop);
        Bomb(painter, at, f.width() * 0.2, index);
        return;
    }
    const int k = index - fuseFrames;
    const int blastFrames = count - fuseFrames;
    const qreal t = static_cast<qreal>(k) / std::max(1, blastFrames - 1);
    const qreal maxR = f.width() * 0.48;
    const qreal r = maxR * (0.35 + 0.65 * Ease(k / 5.0));
    // The last frame keeps a faint trace, so the window never shows an empty frame.
    const int alpha = static_cast<int>(255 * std::clamp<qreal>(1.3 - t * 1.3, 0.08, 1));

    // Rays.
    Rng rng(0xB0B0);
    painter.save();
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 14; ++i) {
        const qreal a = rng.Range(0, 2 * kPi);
        const qreal len = r * rng.Range(0.8, 1.15);
        const qreal w = rng.Range(0.08, 0.16);
        QPainterPath ray;
        ray.moveTo(c);
        ray.lineTo(c + QPointF(std::cos(a - w) * len, std::sin(a - w) * len));
        ray.lineTo(c + QPointF(std::cos(a + w) * len, std::sin(a + w) * len));
        ray.closeSubpath();
        painter.setBrush(QColor(255, 200, 60, alpha * 3 / 4));
        painter.drawPath(ray);
    }
    painter.restore();
    // Fireball.
    QRadialGradient g(c, std::max<qreal>(r, 1));
    g.setColorAt(0, QColor(255, 255, 230, alpha));
    g.setColorAt(0.35, QColor(255, 220, 80, alpha));
    g.setColorAt(0.7, QColor(255, 110, 20, alpha * 4 / 5));
    g.setColorAt(1, QColor(200, 30, 10, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(g);
    painter.drawEllipse(c, r, r);
    // Smoke grows as the fire dies.
    if (t > 0.4) {
        const qreal s = (t - 0.4) / 0.6;
        for (int i = 0; i < 6; ++i) {
            const qreal a = i * kPi / 3 + 0.4;
            Puff(painter, c + QPointF(std::cos(a), std::sin(a)) * maxR * (0.3 + 0.4 * s), maxR * (0.2 + 0.15 * s),
                 static_cast<int>(150 * (1.08 - s)), QColor(120, 110, 100));
        }
    }
    // Debris.
    Rng bits(0xDEB1);
    for (int i = 0; i < 16; ++i) {
        const qreal a = bits.Range(0, 2 * kPi);
        const qreal d = maxR * (0.2 + 0.9 * t) * bits.Range(0.7, 1.1);
        Spark(painter, c + QPointF(std::cos(a) * d, std::sin(a) * d), bits.Range(3, 7), QColor(255, 170, 40, alpha));
    }
    // The word, while the blast is at its height.
    if (k >= 1 && t < 0.85) {
        const qreal grow = Ease(k / 3.0);
        const QRectF box(c.x() - f.width() * 0.4 * grow, c.y() - f.height() * 0.16 * grow, f.width() * 0.8 * grow,
                         f.height() * 0.32 * grow);
        if (box.width() > 4)
            DrawText(painter, box, QStringLiteral("炸弹"), Font(box.height(), QFont::Black), QColor(255, 40, 30),
                     QColor(255, 250, 200), std::max<qreal>(2, box.height() / 10));
    }
}

void PaintRocketFrame(QPainter& painter, const QRectF& f, int index, int)
{
    RocketBody(painter, f, index);
}

void PaintPlaneFrame(QPainter& painter, const QRectF& f, int index, int)
{
    Plane(painter, f, index);
}

void PaintFlowerFrame(QPainter& painter, const QRectF& f, int index, int count)
{
    FlowerShower(painter, f, index, count, 0xF10E);
}

void PaintSpringFrame(QPainter& painter, const QRectF& f, int index, int count)
{
    SpringWord(painter, f, index, count, QStringLiteral("春天"), QColor(250, 70, 90));
}

void PaintSpringContraryFrame(QPainter& painter, const QRectF& f, int index, int count)
{
    SpringWord(painter, f, index, count, QStringLiteral("反春"), QColor(90, 110, 250));
}

void PaintSmokeFrame(QPainter& painter, const QRectF& f, int index, int count)
{
    const qreal t = static_cast<qreal>(index) / std::max(1, count - 1);
    const QPointF c = f.center();
    Rng rng(0x5E0C);
    for (int i = 0; i < 9; ++i) {
        const qreal a = rng.Range(0, 2 * kPi);
        const qreal d = f.width() * 0.28 * Ease(t * 1.3) * rng.Range(0.4, 1.0);
        const qreal r = f.width() * (0.12 + 0.16 * Ease(t)) * rng.Range(0.7, 1.1);
        const int alpha = static_cast<int>(220 * std::clamp<qreal>(1.2 - t * 1.2, 0.1, 1));
        Puff(painter, c + QPointF(std::cos(a) * d, std::sin(a) * d - t * f.height() * 0.1), r, alpha, QColor(236, 232, 226));
    }
    // A burst of sparkles marks the landlord at the start.
    if (index < count / 2) {
        Rng s(0x57A2);
        for (int i = 0; i < 8; ++i) {
            const qreal a = i * kPi / 4;
            const qreal d = f.width() * (0.1 + 0.3 * t * 2);
            Spark(painter, c + QPointF(std::cos(a), std::sin(a)) * d, s.Range(4, 8), QColor(255, 220, 80, 220));
        }
    }
}

void PaintShuffleFrame(QPainter& painter, const QRectF& f, int index, int count)
{
    // The deck splits into two halves that fan out and riffle back together.
    const qreal t = static_cast<qreal>(index) / std::max(1, count - 1);
    const qreal cardW = f.width() * 0.26;
    const qreal cardH = cardW * 105 / 80;
    const QPointF c(f.center().x(), f.bottom() - cardH / 2 - 8);
    const qreal spread = std::sin(t * kPi) * f.width() * 0.28;
    const qreal lift = std::sin(t * kPi) * f.height() * 0.25;
    const int cards = 8;
    for (int i = 0; i < cards; ++i) {
        const int side = i % 2 ? 1 : -1;
        const qreal order = static_cast<qreal>(i) / cards;
        const qreal phase = std::clamp<qreal>(t * 1.4 - order * 0.4, 0, 1);
        const qreal dx = side * spread * (0.6 + 0.4 * order);
        const qreal dy = -lift * std::sin(phase * kPi);
        const qreal angle = side * 25 * std::sin(t * kPi) * (1 - order * 0.5);
        painter.save();
        painter.translate(c + QPointF(dx, dy - i * 1.2));
        painter.rotate(angle);
        PaintCardBack(painter, QRectF(-cardW / 2, -cardH / 2, cardW, cardH), 4);
        painter.restore();
    }
}

void PaintRoleFrame(QPainter& painter, const QRectF& f, int index, int)
{
    // Pairs of frames: landlord man won, lost; landlord woman won, lost; farmer man and farmer
    // woman won. The second frame of each pair bounces.
    const int pair = index / 2;
    const bool bounce = index % 2 == 1;
    const bool lord = pair < 4;
    const bool woman = pair == 2 || pair == 3 || pair == 5;
    const bool won = !lord || pair == 0 || pair == 2;
    const qreal faceSize = f.height() * 0.62;
    const QRectF face(f.center().x() - faceSize / 2, f.top() + 8 + (bounce ? -6 : 0) + 6, faceSize, faceSize);

    if (won) {
        Rng rng(0x7011 + static_cast<uint64_t>(index));
        for (int i = 0; i < 10; ++i)
            painter.fillPath(StarPath(QPointF(f.left() + rng.Range(10, f.width() - 10), f.top() + rng.Range(10, f.height() * 0.7)),
                                      rng.Range(5, 10), rng.Range(2, 4)),
                             QColor(255, 220, 80, 220));
    } else {
        painter.setPen(QPen(QColor(140, 180, 255, 160), 2, Qt::SolidLine, Qt::RoundCap));
        Rng rng(0x7A1B + static_cast<uint64_t>(index % 2));
        for (int i = 0; i < 14; ++i) {
            const QPointF p(f.left() + rng.Range(10, f.width() - 10), f.top() + rng.Range(0, f.height() * 0.7));
            painter.drawLine(p, p + QPointF(-3, 10));
        }
    }
    DrawFace(painter, face, lord ? Role::Landlord : Role::Farmer, woman ? Gender::Woman : Gender::Man, won ? Mood::Happy : Mood::Sad);
    const QString text = lord ? (won ? QStringLiteral("地主胜利") : QStringLiteral("地主失败")) : QStringLiteral("农民胜利");
    const QColor ink = won ? QColor(255, 200, 40) : QColor(150, 170, 220);
    DrawText(painter, QRectF(f.left() + 10, f.bottom() - f.height() * 0.3, f.width() - 20, f.height() * 0.26), text,
             Font(f.height() * 0.2, QFont::Black), ink, QColor(60, 20, 0), 4);
}

void PaintCompleteFrame(QPainter& painter, const QRectF& f, int index, int)
{
    const QRectF box = f.adjusted(6, 6, -6, -6);
    if (index == 1) {
        painter.setPen(QPen(QColor(255, 230, 120, 120), 6));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(box.adjusted(-2, -2, 2, 2), 12, 12);
    }
    FillRounded(painter, box, 10, QColor(120, 220, 110), QColor(30, 140, 50), QColor(255, 240, 170), 3);
    DrawText(painter, box.adjusted(6, 4, -6, -4), QStringLiteral("完成!"), Font(box.height() * 0.6, QFont::Black),
             QColor(255, 255, 230), QColor(20, 80, 20), 3);
}

void PaintFailFrame(QPainter& painter, const QRectF& f, int index, int)
{
    const QRectF box = f.adjusted(6, 6, -6, -6);
    painter.save();
    painter.translate(box.center());
    painter.rotate(index == 1 ? -4 : 4);
    painter.translate(-box.center());
    FillRounded(painter, box, 10, QColor(200, 200, 210), QColor(110, 110, 124), QColor(200, 40, 40), 3);
    DrawText(painter, box.adjusted(6, 4, -6, -4), QStringLiteral("失败"), Font(box.height() * 0.6, QFont::Black),
             QColor(220, 40, 40), QColor(255, 255, 255), 3);
    painter.restore();
}

void PaintFireworkFrame(QPainter& painter, const QRectF& f, int index, int count)
{
    const qreal t = static_cast<qreal>(index) / std::max(1, count - 1);
    const QPointF centres[3] = {f.topLeft() + QPointF(f.width() * 0.2, f.height() * 0.45),
                                f.topLeft() + QPointF(f.width() * 0.55, f.height() * 0.4),
                                f.topLeft() + QPointF(f.width() * 0.85, f.height() * 0.5)};
    const QColor colours[3] = {QColor(255, 90, 90), QColor(255, 220, 60), QColor(110, 200, 255)};
    for (int b = 0; b < 3; ++b) {
        const qreal local = std::clamp<qreal>(t * 1.5 - b * 0.2, 0, 1);
        if (local <= 0)
            continue;
        const qreal r = f.height() * 0.48 * Ease(local);
        const int alpha = static_cast<int>(255 * std::clamp<qreal>(1.4 - local * 1.4, 0, 1));
        for (int i = 0; i < 12; ++i) {
            const qreal a = i * kPi / 6 + b;
            Spark(painter, centres[b] + QPointF(std::cos(a), std::sin(a)) * r, 3 + 2 * (1 - local), WithAlpha(colours[b], alpha));
        }
        Spark(painter, centres[b], 6 * (1 - local) + 1, WithAlpha(QColor(255, 255, 255), alpha));
    }
}

void PaintAlarmFrame(QPainter& painter, const QRectF& f, int index, int count)
{
    // A red warning lamp at the lower right of the small card back; it pulses over the frames.
    const qreal pulse = 0.5 + 0.5 * std::cos(2 * kPi * index / count);
    const QPointF lamp(f.right() - 12, f.bottom() - 12);
    Spark(painter, lamp, 9 + 4 * pulse, QColor(255, 60, 40, static_cast<int>(120 + 120 * pulse)));
    painter.setPen(QPen(QColor(120, 10, 10), 1.2));
    painter.setBrush(QColor(static_cast<int>(200 + 55 * pulse), 30, 30));
    painter.drawEllipse(lamp, 7, 7);
    DrawText(painter, QRectF(lamp.x() - 6, lamp.y() - 6, 12, 12), QStringLiteral("!"), Font(12, QFont::Black),
             QColor(255, 255, 255), Qt::transparent, 0);
    painter.setPen(QPen(QColor(255, 80, 60, static_cast<int>(60 + 160 * pulse)), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(f.adjusted(8, 1, -8, -5), 4, 4);
}

void PaintTopBadgeFrame(QPainter& painter, const QRectF& f, int index, int count)
{
    const QRectF crown = f.adjusted(3, 6, -3, -6);
    DrawCrown(painter, crown, QColor(245, 190, 40));
    // A glint that runs across the crown.
    const qreal x = crown.left() + crown.width() * (index + 0.5) / count;
    painter.fillPath(StarPath(QPointF(x, crown.top() + crown.height() * 0.45), 5, 1.8), QColor(255, 255, 255, 230));
}

void PaintTaskCartoonFrame(QPainter& painter, const QRectF& f, int index, int)
{
    // Frame 0 is the growing start, frame 1 the fading-in medal, frames 2 and 3 alternate their
    // sparkles.
    const QPointF c(f.center().x(), f.top() + f.height() * 0.42);
    const qreal r = f.width() * 0.26;
    Medal(painter, c, r);
    DrawText(painter, QRectF(f.left() + 20, f.bottom() - 72, f.width() - 40, 52), QStringLiteral("任务完成"),
             Font(40, QFont::Black), QColor(255, 220, 60), QColor(120, 30, 0), 5);
    if (index >= 2) {
        Rng rng(index == 2 ? 0x2A2A : 0x3B3B);
        for (int i = 0; i < 12; ++i) {
            const qreal a = rng.Range(0, 2 * kPi);
            const qreal d = r * rng.Range(1.2, 1.7);
            painter.fillPath(StarPath(c + QPointF(std::cos(a) * d, std::sin(a) * d), rng.Range(6, 12), rng.Range(2, 4)),
                             QColor(255, 240, 150));
        }
    }
}

} // namespace art
