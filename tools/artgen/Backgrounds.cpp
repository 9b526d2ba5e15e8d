#include "Backgrounds.h"

#include "Art.h"

#include <QLinearGradient>
#include <QPen>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace art {

namespace {

constexpr int kTopBand = 124;       // rows that must not vary along x
constexpr int kBandBlend = 48;      // rows over which the band blends into the felt
const QColor kKey(255, 0, 255);

QRgb Scale(const QColor& c, double f)
{
    const auto ch = [f](int v) { return std::clamp(static_cast<int>(std::lround(v * f)), 0, 255); };
    return qRgb(ch(c.red()), ch(c.green()), ch(c.blue()));
}

QRgb Blend(QRgb a, QRgb b, double t)
{
    const auto ch = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
    return qRgb(ch(qRed(a), qRed(b)), ch(qGreen(a), qGreen(b)), ch(qBlue(a), qBlue(b)));
}

void DrawTitle(QPainter& painter, const QRectF& bar, const QString& title)
{
    FillRounded(painter, bar, 8, QColor(120, 70, 30), QColor(70, 36, 14), QColor(40, 20, 8), 1);
    DrawText(painter, bar.adjusted(10, 2, -10, -2), title, Font(bar.height() * 0.55), QColor(255, 236, 180),
             QColor(60, 30, 0), 2.5);
}

// A framed dialog body on a transparent canvas: wooden rim, parchment inside.
void DrawDialogBody(QPainter& painter, const QRectF& box, qreal radius)
{
    FillRounded(painter, box, radius, QColor(160, 100, 50), QColor(100, 58, 24), QColor(54, 28, 10), 2);
    const QRectF inner = box.adjusted(6, 6, -6, -6);
    FillRounded(painter, inner, radius - 4, QColor(250, 240, 214), QColor(232, 214, 176), QColor(150, 110, 60), 1);
}

} // namespace

QImage PaintFelt(int width, int height, const QColor& base, uint64_t seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    Rng rowNoise(seed ^ 0xA5A5A5A5ull);
    const QPointF centre(width / 2.0, height * 0.56);
    const double reach = std::hypot(width * 0.62, height * 0.7);

    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        // Top band: a darker rail with faint horizontal streaks, the same along every row.
        const double t = static_cast<double>(y) / kTopBand;
        const double streak = 1.0 + (rowNoise.Uniform() - 0.5) * 0.05;
        const QRgb band = Scale(base, (0.5 + 0.25 * t) * streak);
        for (int x = 0; x < width; ++x) {
            const double d = std::hypot(x - centre.x(), (y - centre.y()) * 1.25) / reach;
            const double light = 1.28 - 0.75 * std::min(1.0, d * d * 1.4 + d * 0.2);
            const QRgb felt = Scale(base, light);
            if (y < kTopBand)
                line[x] = band;
            else if (y < kTopBand + kBandBlend)
                line[x] = Blend(Scale(base, 0.75 * streak), felt, (y - kTopBand) / static_cast<double>(kBandBlend));
            else
                line[x] = felt;
        }
    }
    AddGrain(image, QRect(0, kTopBand, width, height - kTopBand), 5, seed);

    QPainter painter;
    Begin(painter, image);
    // A gold edge under the rail and the outline of the playing area.
    painter.setPen(QPen(QColor(230, 200, 120, 120), 2));
    painter.drawLine(QPointF(0, kTopBand + 1), QPointF(width, kTopBand + 1));
    painter.setPen(QPen(QColor(0, 0, 0, 50), 1));
    painter.drawLine(QPointF(0, kTopBand + 3), QPointF(width, kTopBand + 3));
    const QRectF area(width * 0.1, height * 0.26, width * 0.8, height * 0.62);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 34), 3));
    painter.drawRoundedRect(area, 160, 160);
    painter.setPen(QPen(QColor(255, 255, 255, 20), 1.5));
    painter.drawRoundedRect(area.adjusted(10, 10, -10, -10), 150, 150);
    // A faint mark in the middle of the table, mostly hidden under the played cards.
    DrawText(painter, QRectF(width / 2.0 - 160, height * 0.6, 320, 70), QStringLiteral("Qarrum"),
             Font(56, QFont::Black), QColor(255, 255, 255, 16));
    painter.end();
    return image;
}

QImage PaintResultBackground(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter;
    Begin(painter, image);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(34, 40, 84));
    sky.setColorAt(0.5, QColor(52, 30, 80));
    sky.setColorAt(1, QColor(20, 16, 40));
    painter.fillRect(image.rect(), sky);

    // Light rays from the top centre.
    painter.save();
    painter.translate(width / 2.0, -60);
    painter.rotate(-85);
    for (int i = 0; i < 17; ++i) {
        painter.rotate(10);
        QPainterPath ray;
        ray.moveTo(0, 0);
        ray.lineTo(-40, 900);
        ray.lineTo(40, 900);
        ray.closeSubpath();
        painter.fillPath(ray, QColor(255, 255, 255, i % 2 ? 8 : 14));
    }
    painter.restore();

    DrawText(painter, QRectF(width / 2.0 - 160, 16, 320, 52), QStringLiteral("本局结算"), Font(40, QFont::Black),
             QColor(255, 226, 120), QColor(90, 40, 0), 4);

    const auto box = [&painter](const QRectF& r) {
        FillRounded(painter, r, 14, QColor(255, 255, 255, 30), QColor(255, 255, 255, 14), QColor(255, 220, 150, 120), 1.5);
    };
    box(QRectF(50, 222, 620, 240));   // the local player
    box(QRectF(14, 470, 322, 196));   // the next player
    box(QRectF(348, 470, 322, 196));  // the previous player
    box(QRectF(688, 204, 280, 450));  // multipliers

    painter.setPen(QPen(QColor(255, 220, 150, 70), 1));
    for (int r = 0; r < 8; ++r) {
        const qreal y = 360 + 31 * r + 26;
        painter.drawLine(QPointF(704, y), QPointF(952, y));
    }
    // The fee line's strip at the bottom.
    FillRounded(painter, QRectF(230, 668, 300, 30), 8, QColor(0, 0, 0, 70), QColor(0, 0, 0, 90));
    painter.end();
    AddGrain(image, image.rect(), 2, 0x51DE);
    return image;
}

QColor OptionsDialogFill()
{
    return QColor(243, 231, 201);
}

QImage PaintOptionsDialog(int width, int height)
{
    QImage image = NewCanvas(width, height);
    QPainter painter;
    Begin(painter, image);
    const QRectF frame(0, 0, width, height);
    DrawDialogBody(painter, frame, 12);
    DrawTitle(painter, QRectF(8, 6, width - 16, 28), QStringLiteral("游戏设置"));
    painter.fillRect(QRectF(16, 44, width - 32, height - 100), OptionsDialogFill());
    painter.setPen(QPen(QColor(190, 150, 100), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(16, 44, width - 32, height - 100), 6, 6);
    painter.fillRect(QRectF(16, height - 48, width - 32, 40), OptionsDialogFill());
    painter.end();
    return FlattenOnKey(image, kKey);
}

QImage PaintLastTurnDialog(int width, int height)
{
    QImage image = NewCanvas(width, height);
    QPainter painter;
    Begin(painter, image);
    FillRounded(painter, QRectF(0, 0, width, height), 16, QColor(30, 80, 50, 255), QColor(16, 50, 30, 255),
                QColor(220, 190, 120), 3);
    painter.setPen(QPen(QColor(255, 255, 255, 40), 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(8, 8, width - 16, height - 16), 12, 12);
    DrawText(painter, QRectF(width / 2.0 - 120, 12, 240, 36), QStringLiteral("上一轮出牌"), Font(24, QFont::Black),
             QColor(255, 230, 150), QColor(60, 30, 0), 3);
    painter.end();
    return FlattenOnKey(image, kKey);
}

QImage PaintMissionDialog(int width, int height)
{
    QImage image = NewCanvas(width, height);
    QPainter painter;
    Begin(painter, image);
    DrawDialogBody(painter, QRectF(0, 0, width, height), 14);
    DrawTitle(painter, QRectF(8, 5, width - 44, 28), QStringLiteral("我的任务"));
    // The tab column and the page.
    FillRounded(painter, QRectF(22, 42, 86, 226), 8, QColor(200, 160, 100), QColor(170, 120, 70), QColor(120, 80, 40), 1);
    FillRounded(painter, QRectF(110, 42, width - 122, height - 54), 8, QColor(255, 250, 236), QColor(246, 234, 206),
                QColor(170, 130, 80), 1);
    painter.end();
    return FlattenOnKey(image, kKey);
}

QImage PaintChangeScoreDialog(int width, int height)
{
    QImage image = NewCanvas(width, height);
    QPainter painter;
    Begin(painter, image);
    DrawDialogBody(painter, QRectF(0, 0, width, height), 12);
    DrawTitle(painter, QRectF(8, 6, width - 16, 28), QStringLiteral("积分修改"));
    const QColor ink(90, 50, 20);
    // The number of the target score is centred at x 250, the price starts at x 86.
    DrawText(painter, QRectF(40, 58, 160, 26), QStringLiteral("将积分修改为"), Font(17), ink, Qt::transparent, 0,
             Qt::AlignRight | Qt::AlignVCenter);
    FillRounded(painter, QRectF(214, 58, 72, 26), 5, QColor(255, 255, 255), QColor(236, 230, 214), QColor(170, 130, 80), 1);
    DrawText(painter, QRectF(30, 98, 52, 26), QStringLiteral("价格:"), Font(17), ink, Qt::transparent, 0,
             Qt::AlignRight | Qt::AlignVCenter);
    painter.end();
    return image;
}

QImage PaintTaskWindow(int width, int height)
{
    return Paint(width, height, [&](QPainter& painter) {
        FillRounded(painter, QRectF(0, 0, width, height), 7, QColor(40, 60, 96, 235), QColor(18, 28, 52, 235),
                    QColor(220, 190, 120), 1.5);
        painter.fillRect(QRectF(1, 1, width - 2, 22), QColor(10, 16, 30, 200));
        painter.setPen(QPen(QColor(220, 190, 120, 140), 1));
        painter.drawLine(QPointF(6, 38), QPointF(width - 6, 38));
    });
}

} // namespace art
