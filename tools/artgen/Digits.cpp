#include "Digits.h"

#include "Art.h"

#include <QLinearGradient>
#include <QPen>

#include <algorithm>

namespace art {

namespace {

struct Ink {
    QColor top, bottom, outline;
    qreal outlineWidth; // relative to the cell height
};

Ink InkOf(DigitInk ink)
{
    switch (ink) {
    case DigitInk::Gold: return {QColor(255, 246, 160), QColor(250, 170, 30), QColor(110, 50, 0), 0.12};
    case DigitInk::White: return {QColor(255, 255, 255), QColor(214, 224, 236), QColor(30, 40, 60), 0.14};
    case DigitInk::Cream: return {QColor(255, 250, 226), QColor(240, 220, 170), QColor(70, 50, 20), 0.0};
    case DigitInk::Win: return {QColor(255, 236, 120), QColor(255, 160, 20), QColor(120, 50, 0), 0.12};
    case DigitInk::Loss: return {QColor(190, 230, 255), QColor(70, 150, 240), QColor(10, 40, 100), 0.12};
    case DigitInk::Lit: return {QColor(255, 250, 200), QColor(255, 200, 60), QColor(120, 60, 0), 0.1};
    case DigitInk::Dim: return {QColor(170, 170, 176), QColor(120, 120, 128), QColor(50, 50, 56), 0.08};
    case DigitInk::Clock: return {QColor(200, 255, 200), QColor(60, 220, 110), QColor(10, 60, 30), 0.1};
    case DigitInk::Navy: return {QColor(60, 90, 160), QColor(20, 40, 100), QColor(255, 255, 255), 0.0};
    case DigitInk::Slate: return {QColor(150, 150, 150), QColor(110, 110, 110), QColor(40, 40, 40), 0.0};
    }
    return {};
}

// One scale for a whole row, taken from the widest and tallest digit, so that every cell of a
// strip shows its digit at the same size and baseline.
struct RowMetrics {
    qreal scale;
    qreal baselineY; // from the cell top, in cell pixels
};

RowMetrics MeasureRow(const QFont& font, qreal cellWidth, qreal cellHeight, qreal outline)
{
    QRectF all;
    for (QChar d = u'0'; d <= u'9'; d = QChar(d.unicode() + 1))
        all = all.united(TextPath(QString(d), font).boundingRect());
    const qreal scale = std::min((cellWidth - outline - 1) / all.width(), (cellHeight - outline - 1) / all.height());
    const qreal h = all.height() * scale;
    const qreal baselineY = (cellHeight - h) / 2 - all.top() * scale;
    return {scale, baselineY};
}

// Signs drawn as shapes: the font's plus, minus and colon are too thin to read at cell sizes of
// a dozen pixels.
QPainterPath SignPath(const QRectF& cell, QChar symbol, qreal outline)
{
    const QPointF c = cell.center();
    const qreal room = std::min(cell.width(), cell.height()) - outline - 1;
    const qreal arm = room * 0.38;
    const qreal bar = std::max<qreal>(2, cell.height() * 0.14);
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    const auto hbar = [&] { path.addRect(QRectF(c.x() - arm, c.y() - bar / 2, 2 * arm, bar)); };
    const auto vbar = [&] { path.addRect(QRectF(c.x() - bar / 2, c.y() - arm, bar, 2 * arm)); };
    if (symbol == u'+') {
        hbar();
        vbar();
    } else if (symbol == u'-') {
        hbar();
    } else if (symbol == u':') {
        const qreal r = bar * 0.7;
        path.addEllipse(QPointF(c.x(), c.y() - cell.height() * 0.2), r, r);
        path.addEllipse(QPointF(c.x(), c.y() + cell.height() * 0.2), r, r);
    } else { // 'x', the times sign
        hbar();
        vbar();
        path = QTransform().translate(c.x(), c.y()).rotate(45).translate(-c.x(), -c.y()).map(path);
    }
    return path;
}

void PaintSymbol(QPainter& painter, const QRectF& cell, QChar symbol, const QFont& font, const RowMetrics& m, const Ink& ink,
                 qreal outline)
{
    QPainterPath path;
    if (symbol.isDigit()) {
        path = TextPath(QString(symbol), font);
        const QRectF b = path.boundingRect();
        QTransform t;
        t.translate(cell.left() + (cell.width() - b.width() * m.scale) / 2 - b.left() * m.scale, cell.top() + m.baselineY);
        t.scale(m.scale, m.scale);
        path = t.map(path);
    } else {
        path = SignPath(cell, symbol, outline);
    }
    QLinearGradient g(cell.topLeft(), cell.bottomLeft());
    g.setColorAt(0.15, ink.top);
    g.setColorAt(0.85, ink.bottom);
    if (outline > 0)
        painter.strokePath(path, QPen(ink.outline, outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(path, g);
}

} // namespace

QImage PaintDigitSheet(int width, int height, const std::vector<DigitRow>& rows)
{
    return Paint(width, height, [&](QPainter& painter) {
        const QFont font = Font(64, QFont::Black);
        for (const DigitRow& row : rows) {
            const Ink ink = InkOf(row.ink);
            const qreal outline = std::max<qreal>(ink.outlineWidth > 0 ? 1.2 : 0, row.cellHeight * ink.outlineWidth);
            const RowMetrics m = MeasureRow(font, row.cellWidth, row.cellHeight, outline);
            const QString symbols = QStringLiteral("0123456789") + row.extras;
            for (int i = 0; i < symbols.size(); ++i) {
                const QRectF cell(i * row.cellWidth, row.y, row.cellWidth, row.cellHeight);
                painter.save();
                painter.setClipRect(cell);
                PaintSymbol(painter, cell, symbols.at(i), font, m, ink, outline);
                painter.restore();
            }
        }
    });
}

QImage PaintRollStrip(int cellWidth, int cellHeight)
{
    QImage image = NewCanvas(cellWidth, 10 * cellHeight);
    QPainter painter;
    Begin(painter, image);
    const Ink ink = InkOf(DigitInk::Gold);
    const QFont font = Font(64, QFont::Black);
    const qreal outline = 1.2;
    const RowMetrics m = MeasureRow(font, cellWidth - 2, cellHeight - 2, outline);
    for (int i = 0; i < 10; ++i) {
        const QRectF cell(0, i * cellHeight, cellWidth, cellHeight);
        // The cells are opaque: while rolling, two neighbours share the window and must cover
        // whatever the previous frame left there.
        QLinearGradient g(cell.topLeft(), cell.bottomLeft());
        g.setColorAt(0, QColor(30, 18, 10));
        g.setColorAt(0.5, QColor(70, 36, 16));
        g.setColorAt(1, QColor(30, 18, 10));
        painter.fillRect(cell, g);
        const int digit = 9 - i;
        painter.save();
        painter.setClipRect(cell);
        PaintSymbol(painter, cell.adjusted(1, 1, -1, -1), QChar(u'0' + digit), font, m, ink, outline);
        painter.restore();
    }
    painter.end();
    return image;
}

} // namespace art
