#include "Cards.h"

#include "Art.h"
#include "Figures.h"

#include <QLinearGradient>
#include <QPen>
#include <QPolygonF>
#include <QRadialGradient>

#include <array>
#include <vector>

namespace art {

namespace {

const std::array<const char*, 13> kRankText = {"A", "2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K"};

// Pip centres in a 80 x 105 card, in columns L/C/R and rows top to bottom. Cards of other sizes
// scale these.
constexpr qreal kL = 27, kC = 40, kR = 53;
constexpr qreal kTop = 21, kBottom = 84, kMid = (kTop + kBottom) / 2;
constexpr qreal kRow2 = kTop + (kBottom - kTop) / 3, kRow3 = kTop + 2 * (kBottom - kTop) / 3;

std::vector<QPointF> PipLayout(int face)
{
    switch (face) {
    case 2: return {{kC, kTop}, {kC, kBottom}};
    case 3: return {{kC, kTop}, {kC, kMid}, {kC, kBottom}};
    case 4: return {{kL, kTop}, {kR, kTop}, {kL, kBottom}, {kR, kBottom}};
    case 5: return {{kL, kTop}, {kR, kTop}, {kC, kMid}, {kL, kBottom}, {kR, kBottom}};
    case 6: return {{kL, kTop}, {kR, kTop}, {kL, kMid}, {kR, kMid}, {kL, kBottom}, {kR, kBottom}};
    case 7:
        return {{kL, kTop}, {kR, kTop}, {kC, (kTop + kMid) / 2}, {kL, kMid}, {kR, kMid}, {kL, kBottom}, {kR, kBottom}};
    case 8:
        return {{kL, kTop}, {kR, kTop}, {kC, (kTop + kMid) / 2}, {kL, kMid}, {kR, kMid}, {kC, (kMid + kBottom) / 2},
                {kL, kBottom}, {kR, kBottom}};
    case 9:
        return {{kL, kTop}, {kR, kTop}, {kL, kRow2}, {kR, kRow2}, {kC, kMid}, {kL, kRow3}, {kR, kRow3},
                {kL, kBottom}, {kR, kBottom}};
    case 10:
        return {{kL, kTop}, {kR, kTop}, {kC, (kTop + kRow2) / 2}, {kL, kRow2}, {kR, kRow2}, {kL, kRow3},
                {kR, kRow3}, {kC, (kRow3 + kBottom) / 2}, {kL, kBottom}, {kR, kBottom}};
    default: return {};
    }
}

QPainterPath CardOutline(const QRectF& box, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    return path;
}

void PaintBlankFace(QPainter& painter, const QRectF& box, qreal radius)
{
    QLinearGradient g(box.topLeft(), box.bottomRight());
    g.setColorAt(0, QColor(255, 255, 252));
    g.setColorAt(1, QColor(236, 234, 226));
    painter.setPen(QPen(QColor(112, 112, 112), 1));
    painter.setBrush(g);
    painter.drawPath(CardOutline(box, radius));
}

// Rank and suit in the top-left corner: the only part visible of a card covered by the next one
// at the narrowest spacing, so it must read at 16 pixels wide.
void PaintCornerIndex(QPainter& painter, const QRectF& card, const QString& rank, Suit suit, qreal sx, qreal sy)
{
    const QColor colour = SuitColour(suit);
    QFont font = Font(18 * sy, QFont::Black);
    if (rank.size() > 1)
        font.setLetterSpacing(QFont::AbsoluteSpacing, -1.5 * sx);
    DrawText(painter, QRectF(card.left() + 1.5 * sx, card.top() + 3 * sy, 14 * sx, 16 * sy), rank, font, colour,
             Qt::transparent, 0, Qt::AlignHCenter | Qt::AlignTop);
    painter.fillPath(SuitPath(suit, QRectF(card.left() + 3 * sx, card.top() + 22 * sy, 11 * sx, 12 * sy)), colour);
}

void PaintIndexPair(QPainter& painter, const QRectF& card, const QString& rank, Suit suit, qreal sx, qreal sy)
{
    PaintCornerIndex(painter, card, rank, suit, sx, sy);
    painter.save();
    painter.translate(card.center());
    painter.rotate(180);
    painter.translate(-card.center());
    PaintCornerIndex(painter, card, rank, suit, sx, sy);
    painter.restore();
}

void PaintPips(QPainter& painter, const QRectF& card, int face, Suit suit, qreal sx, qreal sy)
{
    const QColor colour = SuitColour(suit);
    const qreal pip = 14;
    for (const QPointF& c : PipLayout(face)) {
        const QPointF centre(card.left() + c.x() * sx, card.top() + c.y() * sy);
        const QRectF box(centre.x() - pip * sx / 2, centre.y() - pip * sy / 2, pip * sx, pip * sy);
        painter.save();
        if (c.y() > kMid + 1) {
            // Pips of the lower half stand upside down, as on a printed card.
            painter.translate(centre);
            painter.rotate(180);
            painter.translate(-centre);
        }
        painter.fillPath(SuitPath(suit, box), colour);
        painter.restore();
    }
}

void PaintAce(QPainter& painter, const QRectF& card, Suit suit, qreal sx, qreal sy)
{
    const qreal size = (suit == Suit::Spade) ? 40 : 34;
    const QRectF box(card.left() + (80 - size) / 2 * sx, card.top() + (105 - size) / 2 * sy, size * sx, size * sy);
    QLinearGradient g(box.topLeft(), box.bottomRight());
    const QColor colour = SuitColour(suit);
    g.setColorAt(0, colour.lighter(suit == Suit::Spade || suit == Suit::Club ? 260 : 130));
    g.setColorAt(1, colour);
    painter.fillPath(SuitPath(suit, box), g);
}

void PaintCourt(QPainter& painter, const QRectF& card, int face, Suit suit, qreal sx, qreal sy)
{
    const QColor colour = SuitColour(suit);
    const QRectF frame(card.left() + 17 * sx, card.top() + 11 * sy, 46 * sx, 83 * sy);
    const QColor tint = face == 13 ? QColor(255, 236, 170) : (face == 12 ? QColor(255, 214, 226) : QColor(206, 226, 255));
    FillRounded(painter, frame, 3 * sx, tint.lighter(108), tint, colour.lighter(150), 1);

    // Headwear over the letter: a crown for the king, a tiara for the queen, a plumed cap for
    // the jack.
    const QRectF head(frame.left() + 9 * sx, frame.top() + 5 * sy, 28 * sx, 18 * sy);
    if (face == 13) {
        DrawCrown(painter, head, QColor(232, 176, 30));
    } else if (face == 12) {
        DrawCrown(painter, head.adjusted(4 * sx, 4 * sy, -4 * sx, 0), QColor(210, 120, 200));
    } else {
        painter.save();
        painter.setPen(QPen(QColor(60, 60, 90), 1));
        painter.setBrush(QColor(70, 110, 200));
        painter.drawChord(head.adjusted(2 * sx, 4 * sy, -2 * sx, 10 * sy), 0, 180 * 16);
        painter.setBrush(QColor(230, 60, 60));
        QPainterPath plume;
        plume.moveTo(head.center() + QPointF(2 * sx, 2 * sy));
        plume.cubicTo(head.topRight() + QPointF(0, -2 * sy), head.topRight() + QPointF(6 * sx, 6 * sy),
                      head.center() + QPointF(6 * sx, 4 * sy));
        plume.closeSubpath();
        painter.drawPath(plume);
        painter.restore();
    }

    const QString letter = QString::fromLatin1(kRankText[face - 1]);
    DrawText(painter, QRectF(frame.left(), frame.top() + 24 * sy, frame.width(), 40 * sy), letter,
             Font(40 * sy, QFont::Black), colour, QColor(255, 255, 255, 200), 2);
    const QRectF pip(frame.center().x() - 7 * sx, frame.bottom() - 18 * sy, 14 * sx, 14 * sy);
    painter.fillPath(SuitPath(suit, pip), colour);
}

void PaintJoker(QPainter& painter, const QRectF& card, bool big, qreal sx, qreal sy)
{
    const QColor ink = big ? QColor(200, 24, 36) : QColor(30, 30, 36);
    const QString word = QStringLiteral("JOKER");
    for (int i = 0; i < word.size(); ++i)
        DrawText(painter, QRectF(card.left() + 2 * sx, card.top() + (4 + i * 12.5) * sy, 12 * sx, 12 * sy),
                 word.mid(i, 1), Font(12 * sy, QFont::Black), ink, Qt::transparent, 0, Qt::AlignCenter);

    const QPointF centre(card.left() + 46 * sx, card.top() + 46 * sy);
    QRadialGradient g(centre, 26 * sx);
    if (big) {
        g.setColorAt(0, QColor(255, 236, 120));
        g.setColorAt(0.6, QColor(250, 150, 40));
        g.setColorAt(1, QColor(210, 30, 40));
    } else {
        g.setColorAt(0, QColor(230, 230, 236));
        g.setColorAt(0.6, QColor(130, 130, 140));
        g.setColorAt(1, QColor(40, 40, 48));
    }
    painter.save();
    painter.setPen(QPen(ink.darker(130), 1.2));
    painter.setBrush(g);
    painter.drawPath(StarPath(centre, 25 * sx, 11 * sx));
    painter.restore();
    if (big)
        DrawCrown(painter, QRectF(centre.x() - 9 * sx, centre.y() - 7 * sy, 18 * sx, 12 * sy), QColor(240, 190, 40));
    DrawText(painter, QRectF(card.left() + 20 * sx, card.top() + 76 * sy, 52 * sx, 22 * sy),
             big ? QStringLiteral("大王") : QStringLiteral("小王"), Font(19 * sy, QFont::Black), ink);
}

} // namespace

void PaintCardBack(QPainter& painter, const QRectF& box, qreal radius)
{
    painter.save();
    painter.setPen(QPen(QColor(90, 90, 100), 1));
    painter.setBrush(QColor(250, 248, 240));
    painter.drawPath(CardOutline(box, radius));

    const qreal margin = std::max<qreal>(2.5, box.width() * 0.05);
    const QRectF inner = box.adjusted(margin, margin, -margin, -margin);
    QLinearGradient g(inner.topLeft(), inner.bottomRight());
    g.setColorAt(0, QColor(44, 84, 178));
    g.setColorAt(1, QColor(20, 42, 110));
    QPainterPath innerPath;
    const qreal innerRadius = std::max<qreal>(radius - margin / 2, 1.5);
    innerPath.addRoundedRect(inner, innerRadius, innerRadius);
    painter.setPen(Qt::NoPen);
    painter.fillPath(innerPath, g);

    // A lattice of thin diagonal lines.
    painter.setClipPath(innerPath);
    painter.setPen(QPen(QColor(120, 160, 240, 110), 1));
    const qreal step = std::max<qreal>(5, box.width() / 9);
    for (qreal d = -inner.height(); d < inner.width() + inner.height(); d += step) {
        painter.drawLine(QPointF(inner.left() + d, inner.top()), QPointF(inner.left() + d - inner.height(), inner.bottom()));
        painter.drawLine(QPointF(inner.left() + d, inner.top()), QPointF(inner.left() + d + inner.height(), inner.bottom()));
    }
    painter.setClipping(false);

    // Centre medallion.
    const qreal r = std::min(inner.width(), inner.height()) * 0.3;
    QRadialGradient medal(inner.center(), r);
    medal.setColorAt(0, QColor(255, 236, 150));
    medal.setColorAt(1, QColor(214, 150, 40));
    painter.setPen(QPen(QColor(250, 246, 230), std::max<qreal>(1, r * 0.12)));
    painter.setBrush(QColor(170, 30, 44));
    painter.drawEllipse(inner.center(), r, r);
    painter.setPen(Qt::NoPen);
    painter.setBrush(medal);
    painter.drawPath(StarPath(inner.center(), r * 0.78, r * 0.34));
    painter.restore();
}

QImage PaintCardSheet(int cellWidth, int cellHeight)
{
    QImage sheet = NewCanvas(13 * cellWidth, 5 * cellHeight);
    QPainter painter;
    Begin(painter, sheet);
    const qreal sx = cellWidth / 80.0;
    const qreal sy = cellHeight / 105.0;
    const qreal radius = 5 * sx;
    for (int row = 0; row < 4; ++row) {
        const Suit suit = static_cast<Suit>(row);
        for (int face = 1; face <= 13; ++face) {
            const QRectF card((face - 1) * cellWidth, row * cellHeight, cellWidth, cellHeight);
            PaintBlankFace(painter, card, radius);
            const QString rank = QString::fromLatin1(kRankText[face - 1]);
            PaintIndexPair(painter, card, rank, suit, sx, sy);
            if (face == 1)
                PaintAce(painter, card, suit, sx, sy);
            else if (face <= 10)
                PaintPips(painter, card, face, suit, sx, sy);
            else
                PaintCourt(painter, card, face, suit, sx, sy);
        }
    }
    for (int col = 0; col < 2; ++col) {
        const QRectF card(col * cellWidth, 4 * cellHeight, cellWidth, cellHeight);
        PaintBlankFace(painter, card, radius);
        PaintJoker(painter, card, col == 1, sx, sy);
    }
    PaintCardBack(painter, QRectF(2 * cellWidth, 4 * cellHeight, cellWidth, cellHeight), radius);
    painter.end();
    return FlattenOnKey(sheet, Qt::black);
}

QImage PaintSmallCardBack(int width, int height)
{
    return Paint(width, height, [&](QPainter& painter) {
        PaintCardBack(painter, QRectF(0, 0, width, height), 4);
    });
}

QImage PaintCardFlip(int frameWidth, int frameHeight)
{
    QImage image = NewCanvas(2 * frameWidth, frameHeight);
    QPainter painter;
    Begin(painter, image);
    const qreal cardH = frameHeight - 12;
    const qreal top = 6;

    // Frame 1: the back seen at an angle; frame 2: the card edge-on, showing its white face.
    QImage back = NewCanvas(80, 105);
    {
        QPainter p;
        Begin(p, back);
        PaintCardBack(p, QRectF(0, 0, 80, 105), 5);
    }
    const qreal halfW1 = frameWidth * 0.34;
    const qreal cx1 = frameWidth / 2.0;
    QPolygonF quad1;
    quad1 << QPointF(cx1 - halfW1, top) << QPointF(cx1 + halfW1, top + 6) << QPointF(cx1 + halfW1, top + cardH - 6)
          << QPointF(cx1 - halfW1, top + cardH);
    QTransform t1;
    QTransform::quadToQuad(QPolygonF(QRectF(0, 0, 80, 105)), quad1, t1);
    painter.setTransform(t1);
    painter.drawImage(0, 0, back);
    painter.resetTransform();

    const qreal cx2 = frameWidth + frameWidth / 2.0;
    QPolygonF edge;
    edge << QPointF(cx2 - 6, top + 3) << QPointF(cx2 + 6, top) << QPointF(cx2 + 6, top + cardH) << QPointF(cx2 - 6, top + cardH - 3);
    painter.setPen(QPen(QColor(90, 90, 100), 1));
    QLinearGradient g(QPointF(cx2 - 6, 0), QPointF(cx2 + 6, 0));
    g.setColorAt(0, QColor(40, 70, 160));
    g.setColorAt(0.45, QColor(40, 70, 160));
    g.setColorAt(0.55, QColor(250, 250, 244));
    g.setColorAt(1, QColor(220, 220, 212));
    painter.setBrush(g);
    painter.drawPolygon(edge);
    painter.end();
    return FlattenOnKey(image, QColor(255, 0, 255));
}

QImage PaintCardCursor(int size)
{
    QImage image = NewCanvas(size, size);
    QPainter painter;
    Begin(painter, image);
    painter.scale(size / 32.0, size / 32.0);
    QPainterPath hand;
    // Index finger up, tip at (9, 1); three folded fingers and the thumb to its right and left.
    hand.moveTo(7, 3);
    hand.quadTo(9, 0, 11, 3);
    hand.lineTo(11, 13);
    hand.quadTo(13, 11, 15, 13);
    hand.quadTo(17, 11, 19, 13.5);
    hand.quadTo(21, 12, 23, 14.5);
    hand.lineTo(23, 22);
    hand.quadTo(22, 28, 17, 29);
    hand.lineTo(11, 29);
    hand.quadTo(7, 27, 4, 21);
    hand.lineTo(2, 17);
    hand.quadTo(3, 14, 6, 16);
    hand.lineTo(7, 18);
    hand.closeSubpath();
    painter.setPen(QPen(QColor(20, 20, 20), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(QColor(255, 255, 255));
    painter.drawPath(hand);
    painter.setPen(QPen(QColor(90, 90, 90), 1));
    painter.drawLine(QPointF(15, 13.5), QPointF(15, 18));
    painter.drawLine(QPointF(19, 14), QPointF(19, 18));
    painter.end();
    return image;
}

} // namespace art
