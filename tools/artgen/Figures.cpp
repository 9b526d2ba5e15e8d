#include "Figures.h"

#include "Art.h"

#include <QLinearGradient>
#include <QPen>
#include <QRadialGradient>

namespace art {

namespace {

// Maps unit coordinates of a square figure into its box.
struct Unit {
    QRectF box;
    QPointF P(qreal x, qreal y) const { return {box.left() + x * box.width(), box.top() + y * box.height()}; }
    qreal S(qreal v) const { return v * box.width(); }
    QRectF R(qreal x, qreal y, qreal w, qreal h) const { return {P(x, y), QSizeF(S(w), h * box.height())}; }
};

} // namespace

QPainterPath SuitPath(Suit suit, const QRectF& box)
{
    const Unit u{box};
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    switch (suit) {
    case Suit::Diamond:
        path.moveTo(u.P(0.5, 0.0));
        path.quadTo(u.P(0.62, 0.25), u.P(0.9, 0.5));
        path.quadTo(u.P(0.62, 0.75), u.P(0.5, 1.0));
        path.quadTo(u.P(0.38, 0.75), u.P(0.1, 0.5));
        path.quadTo(u.P(0.38, 0.25), u.P(0.5, 0.0));
        path.closeSubpath();
        break;
    case Suit::Heart:
        path.moveTo(u.P(0.5, 0.98));
        path.cubicTo(u.P(0.3, 0.78), u.P(0.0, 0.6), u.P(0.02, 0.3));
        path.cubicTo(u.P(0.04, 0.05), u.P(0.38, -0.02), u.P(0.5, 0.22));
        path.cubicTo(u.P(0.62, -0.02), u.P(0.96, 0.05), u.P(0.98, 0.3));
        path.cubicTo(u.P(1.0, 0.6), u.P(0.7, 0.78), u.P(0.5, 0.98));
        path.closeSubpath();
        break;
    case Suit::Spade:
        path.moveTo(u.P(0.5, 0.0));
        path.cubicTo(u.P(0.7, 0.22), u.P(1.0, 0.38), u.P(0.98, 0.62));
        path.cubicTo(u.P(0.96, 0.84), u.P(0.66, 0.86), u.P(0.53, 0.7));
        path.lineTo(u.P(0.62, 1.0));
        path.lineTo(u.P(0.38, 1.0));
        path.lineTo(u.P(0.47, 0.7));
        path.cubicTo(u.P(0.34, 0.86), u.P(0.04, 0.84), u.P(0.02, 0.62));
        path.cubicTo(u.P(0.0, 0.38), u.P(0.3, 0.22), u.P(0.5, 0.0));
        path.closeSubpath();
        break;
    case Suit::Club:
        path.addEllipse(u.R(0.28, 0.0, 0.44, 0.44));
        path.addEllipse(u.R(0.0, 0.36, 0.44, 0.44));
        path.addEllipse(u.R(0.56, 0.36, 0.44, 0.44));
        path.addEllipse(u.R(0.36, 0.3, 0.28, 0.3));
        {
            QPainterPath stem;
            stem.moveTo(u.P(0.5, 0.5));
            stem.lineTo(u.P(0.64, 1.0));
            stem.lineTo(u.P(0.36, 1.0));
            stem.closeSubpath();
            path.addPath(stem);
        }
        break;
    }
    return path;
}

QColor SuitColour(Suit suit)
{
    return (suit == Suit::Heart || suit == Suit::Diamond) ? QColor(204, 28, 36) : QColor(26, 26, 30);
}

void DrawFace(QPainter& painter, const QRectF& box, Role role, Gender gender, Mood mood)
{
    const Unit u{box};
    painter.save();
    painter.setPen(Qt::NoPen);

    const QColor outline(40, 26, 20);
    const QColor skin(252, 214, 176);
    const QColor skinShade(232, 180, 140);
    const bool lord = role == Role::Landlord;
    const bool woman = gender == Gender::Woman;

    // Backdrop disc so the face reads on any panel.
    {
        QRadialGradient g(u.P(0.5, 0.45), u.S(0.5));
        const QColor c = lord ? QColor(250, 200, 70) : QColor(120, 196, 110);
        g.setColorAt(0, c.lighter(125));
        g.setColorAt(1, c.darker(140));
        painter.setBrush(g);
        painter.setPen(QPen(QColor(255, 246, 220), u.S(0.025)));
        painter.drawEllipse(u.R(0.03, 0.03, 0.94, 0.94));
        painter.setPen(Qt::NoPen);
    }

    // Shoulders, clipped to the disc.
    QPainterPath disc;
    disc.addEllipse(u.R(0.045, 0.045, 0.91, 0.91));
    painter.setClipPath(disc);
    {
        const QColor cloth = lord ? QColor(170, 30, 40) : (woman ? QColor(220, 90, 120) : QColor(52, 92, 170));
        painter.setBrush(cloth);
        painter.drawEllipse(u.R(0.14, 0.74, 0.72, 0.5));
        painter.setBrush(lord ? QColor(246, 200, 60) : QColor(250, 250, 240));
        QPainterPath collar;
        collar.moveTo(u.P(0.4, 0.76));
        collar.lineTo(u.P(0.5, 0.9));
        collar.lineTo(u.P(0.6, 0.76));
        collar.closeSubpath();
        painter.drawPath(collar);
    }

    // Hair behind the head.
    const QColor hair = woman ? QColor(70, 40, 30) : QColor(50, 36, 30);
    if (woman) {
        painter.setBrush(hair);
        painter.drawEllipse(u.R(0.2, 0.2, 0.6, 0.62));
    }

    // Head.
    {
        QRadialGradient g(u.P(0.45, 0.45), u.S(0.3));
        g.setColorAt(0, skin);
        g.setColorAt(1, skinShade);
        painter.setBrush(g);
        painter.setPen(QPen(outline, u.S(0.015)));
        painter.drawEllipse(u.R(0.25, 0.25, 0.5, 0.52));
        painter.setPen(Qt::NoPen);
        // Ears.
        painter.setBrush(skinShade);
        painter.drawEllipse(u.R(0.21, 0.46, 0.07, 0.1));
        painter.drawEllipse(u.R(0.72, 0.46, 0.07, 0.1));
    }

    // Fringe.
    painter.setBrush(hair);
    if (woman) {
        QPainterPath fringe;
        fringe.moveTo(u.P(0.25, 0.45));
        fringe.cubicTo(u.P(0.26, 0.22), u.P(0.74, 0.22), u.P(0.75, 0.45));
        fringe.cubicTo(u.P(0.62, 0.34), u.P(0.45, 0.33), u.P(0.25, 0.45));
        painter.drawPath(fringe);
    } else if (!lord) {
        painter.drawChord(u.R(0.26, 0.26, 0.48, 0.3), 0, 180 * 16);
    }

    // Headwear.
    if (lord) {
        // A round cap with a gold knob.
        painter.setBrush(QColor(120, 20, 30));
        painter.setPen(QPen(outline, u.S(0.012)));
        painter.drawChord(u.R(0.24, 0.14, 0.52, 0.36), 0, 180 * 16);
        painter.setBrush(QColor(70, 14, 20));
        painter.drawRoundedRect(u.R(0.22, 0.29, 0.56, 0.06), u.S(0.02), u.S(0.02));
        painter.setBrush(QColor(250, 206, 60));
        painter.drawEllipse(u.R(0.46, 0.1, 0.08, 0.08));
        painter.setPen(Qt::NoPen);
    } else if (!woman) {
        // A straw hat.
        painter.setBrush(QColor(226, 186, 96));
        painter.setPen(QPen(QColor(150, 110, 50), u.S(0.012)));
        QPainterPath hat;
        hat.moveTo(u.P(0.12, 0.36));
        hat.lineTo(u.P(0.5, 0.08));
        hat.lineTo(u.P(0.88, 0.36));
        hat.quadTo(u.P(0.5, 0.42), u.P(0.12, 0.36));
        painter.drawPath(hat);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(190, 60, 40));
        painter.drawRect(u.R(0.3, 0.3, 0.4, 0.035));
    } else {
        // A flower in the farmer woman's hair.
        painter.setBrush(QColor(236, 60, 80));
        for (int i = 0; i < 5; ++i) {
            QTransform t;
            t.translate(u.P(0.7, 0.27).x(), u.P(0.7, 0.27).y());
            t.rotate(i * 72);
            painter.drawEllipse(t.mapRect(QRectF(-u.S(0.03), -u.S(0.09), u.S(0.06), u.S(0.08))));
        }
        painter.setBrush(QColor(255, 220, 80));
        painter.drawEllipse(u.R(0.68, 0.25, 0.04, 0.04));
    }
    if (lord && woman) {
        painter.setBrush(hair);
        painter.drawEllipse(u.R(0.27, 0.36, 0.1, 0.2));
        painter.drawEllipse(u.R(0.63, 0.36, 0.1, 0.2));
    }

    // Eyes.
    const QColor eye(36, 30, 30);
    if (mood == Mood::Happy) {
        painter.setPen(QPen(eye, u.S(0.025), Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(u.R(0.35, 0.47, 0.1, 0.07), 0, 180 * 16);
        painter.drawArc(u.R(0.55, 0.47, 0.1, 0.07), 0, 180 * 16);
        painter.setPen(Qt::NoPen);
    } else {
        painter.setBrush(eye);
        painter.drawEllipse(u.R(0.37, 0.46, 0.06, 0.08));
        painter.drawEllipse(u.R(0.57, 0.46, 0.06, 0.08));
        painter.setBrush(QColor(255, 255, 255));
        painter.drawEllipse(u.R(0.39, 0.475, 0.02, 0.02));
        painter.drawEllipse(u.R(0.59, 0.475, 0.02, 0.02));
    }
    if (mood == Mood::Sad) {
        painter.setPen(QPen(eye, u.S(0.018), Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(u.P(0.34, 0.43), u.P(0.44, 0.41));
        painter.drawLine(u.P(0.56, 0.41), u.P(0.66, 0.43));
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(120, 190, 255));
        painter.drawEllipse(u.R(0.36, 0.56, 0.035, 0.06));
    }

    // Cheeks.
    painter.setBrush(QColor(255, 120, 120, 90));
    painter.drawEllipse(u.R(0.3, 0.56, 0.09, 0.06));
    painter.drawEllipse(u.R(0.61, 0.56, 0.09, 0.06));

    // Moustache for the landlord.
    if (lord && !woman) {
        painter.setBrush(QColor(60, 40, 32));
        QPainterPath m;
        m.moveTo(u.P(0.5, 0.62));
        m.cubicTo(u.P(0.42, 0.58), u.P(0.34, 0.6), u.P(0.32, 0.66));
        m.cubicTo(u.P(0.4, 0.63), u.P(0.45, 0.65), u.P(0.5, 0.65));
        m.cubicTo(u.P(0.55, 0.65), u.P(0.6, 0.63), u.P(0.68, 0.66));
        m.cubicTo(u.P(0.66, 0.6), u.P(0.58, 0.58), u.P(0.5, 0.62));
        painter.drawPath(m);
    }

    // Mouth.
    painter.setPen(QPen(QColor(150, 40, 40), u.S(0.022), Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    switch (mood) {
    case Mood::Happy:
        painter.setBrush(QColor(200, 60, 60));
        painter.drawChord(u.R(0.4, 0.6, 0.2, 0.12), 180 * 16, 180 * 16);
        break;
    case Mood::Sad:
        painter.drawArc(u.R(0.42, 0.67, 0.16, 0.08), 20 * 16, 140 * 16);
        break;
    case Mood::Calm:
        painter.drawArc(u.R(0.43, 0.62, 0.14, 0.07), 200 * 16, 140 * 16);
        break;
    }
    painter.restore();
}

void DrawCoin(QPainter& painter, const QRectF& box)
{
    painter.save();
    QRadialGradient g(box.center() - QPointF(box.width() * 0.15, box.height() * 0.15), box.width() * 0.6);
    g.setColorAt(0, QColor(255, 240, 150));
    g.setColorAt(0.6, QColor(240, 180, 40));
    g.setColorAt(1, QColor(180, 110, 20));
    painter.setBrush(g);
    painter.setPen(QPen(QColor(140, 80, 10), std::max<qreal>(1, box.width() * 0.05)));
    const QRectF r = box.adjusted(1, 1, -1, -1);
    painter.drawEllipse(r);
    painter.setPen(QPen(QColor(255, 236, 150, 200), std::max<qreal>(1, box.width() * 0.04)));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(r.adjusted(r.width() * 0.16, r.height() * 0.16, -r.width() * 0.16, -r.height() * 0.16));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(170, 100, 10));
    const qreal s = r.width() * 0.22;
    painter.drawRect(QRectF(r.center() - QPointF(s / 2, s / 2), QSizeF(s, s)));
    painter.restore();
}

void DrawTicket(QPainter& painter, const QRectF& box)
{
    painter.save();
    const QRectF r = box.adjusted(1, box.height() * 0.18, -1, -box.height() * 0.18);
    QPainterPath ticket;
    ticket.addRoundedRect(r, 3, 3);
    QPainterPath notch;
    const qreal n = r.height() * 0.22;
    notch.addEllipse(QPointF(r.left(), r.center().y()), n, n);
    notch.addEllipse(QPointF(r.right(), r.center().y()), n, n);
    ticket = ticket.subtracted(notch);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(255, 120, 110));
    g.setColorAt(1, QColor(200, 40, 50));
    painter.setPen(QPen(QColor(130, 20, 30), 1));
    painter.setBrush(g);
    painter.drawPath(ticket);
    painter.setPen(QPen(QColor(255, 230, 200), 1, Qt::DashLine));
    painter.drawLine(QPointF(r.left() + r.width() * 0.68, r.top() + 2), QPointF(r.left() + r.width() * 0.68, r.bottom() - 2));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 236, 150));
    painter.drawPath(StarPath(QPointF(r.left() + r.width() * 0.36, r.center().y()), r.height() * 0.32, r.height() * 0.14));
    painter.restore();
}

void DrawCrown(QPainter& painter, const QRectF& box, const QColor& colour)
{
    const Unit u{box};
    painter.save();
    QPainterPath crown;
    crown.moveTo(u.P(0.05, 0.85));
    crown.lineTo(u.P(0.0, 0.25));
    crown.lineTo(u.P(0.28, 0.5));
    crown.lineTo(u.P(0.5, 0.1));
    crown.lineTo(u.P(0.72, 0.5));
    crown.lineTo(u.P(1.0, 0.25));
    crown.lineTo(u.P(0.95, 0.85));
    crown.closeSubpath();
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0, colour.lighter(140));
    g.setColorAt(1, colour.darker(130));
    painter.setBrush(g);
    painter.setPen(QPen(colour.darker(200), std::max<qreal>(1, box.width() * 0.04)));
    painter.drawPath(crown);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(230, 40, 60));
    painter.drawEllipse(QPointF(u.P(0.5, 0.62)), u.S(0.07), u.S(0.07));
    painter.setBrush(QColor(60, 120, 230));
    painter.drawEllipse(QPointF(u.P(0.25, 0.68)), u.S(0.05), u.S(0.05));
    painter.drawEllipse(QPointF(u.P(0.75, 0.68)), u.S(0.05), u.S(0.05));
    painter.restore();
}

} // namespace art
