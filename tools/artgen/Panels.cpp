#include "Panels.h"

#include "Art.h"
#include "Cards.h"
#include "Figures.h"

#include <QLinearGradient>
#include <QPen>
#include <QRadialGradient>

#include <algorithm>
#include <array>

namespace art {

namespace {

const QColor kGoldRim(214, 180, 110);
const QColor kPanelInk(0x40, 0x29, 0x1B); // the panels' fill, 0x1B2940 as the view writes it

void Tag(QPainter& painter, const QRectF& box, const QString& text, const QColor& colour)
{
    FillRounded(painter, box.adjusted(1, 1, -1, -1), std::min<qreal>(6, box.height() / 2 - 1), colour.lighter(135),
                colour.darker(115), colour.darker(190), 1);
    DrawText(painter, box.adjusted(4, 2, -4, -2), text, Font(box.height() * 0.62), QColor(255, 255, 255), colour.darker(240),
             2);
}

void SlotWell(QPainter& painter, const QRectF& box)
{
    FillRounded(painter, box, 4, QColor(24, 14, 8, 230), QColor(50, 28, 14, 230), QColor(240, 210, 140, 200), 1);
}

} // namespace

QImage PaintPieces(int width, int height, const std::vector<Piece>& pieces)
{
    return Paint(width, height, [&](QPainter& painter) {
        for (const Piece& piece : pieces) {
            const QRectF box(piece.rect);
            switch (piece.style) {
            case PieceStyle::Text:
                DrawText(painter, box.adjusted(1, 0, -1, 0), piece.text, Font(box.height() * 0.8), piece.colour,
                         QColor(40, 20, 6), std::max<qreal>(1.5, box.height() / 10), piece.align);
                break;
            case PieceStyle::Plain:
                DrawText(painter, box.adjusted(1, 0, -1, 0), piece.text, Font(box.height() * 0.8), piece.colour,
                         Qt::transparent, 0, piece.align);
                break;
            case PieceStyle::Tag: Tag(painter, box, piece.text, piece.colour); break;
            case PieceStyle::Dim: Tag(painter, box, piece.text, Greyed(piece.colour).darker(130)); break;
            }
        }
    });
}

QImage PaintNotice(int width, int height, const QString& text, const QColor& accent)
{
    return Paint(width, height, [&](QPainter& painter) {
        const QRectF box(1, 1, width - 2, height - 2);
        FillRounded(painter, box, height / 2.0 - 1, QColor(20, 20, 30, 200), QColor(0, 0, 0, 210), accent, 2);
        DrawText(painter, box.adjusted(height * 0.4, 3, -height * 0.4, -3), text, Font(height * 0.5), QColor(255, 255, 255),
                 accent.darker(250), 3);
    });
}

QImage PaintPrizeBack(int width, int height, const QRect& unitsCell, int cellStep, int cells)
{
    return Paint(width, height, [&](QPainter& painter) {
        FillRounded(painter, QRectF(0, 0, width, height), 14, QColor(150, 30, 30, 235), QColor(80, 10, 16, 235), kGoldRim, 2);
        const int leftmost = unitsCell.x() - (cells - 1) * cellStep;
        DrawText(painter, QRectF(8, unitsCell.y() - 6, leftmost - 16, unitsCell.height() + 12), QStringLiteral("奖池"),
                 Font(26, QFont::Black), QColor(255, 226, 120), QColor(90, 30, 0), 3);
        for (int k = 0; k < cells; ++k) {
            const QRect cell = unitsCell.translated(-k * cellStep, 0);
            // The well's rim lies outside the cell, so clearing the cell from this picture keeps it.
            painter.setPen(QPen(QColor(255, 214, 120), 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(QRectF(cell).adjusted(-1.5, -1.5, 1.5, 1.5), 2, 2);
            painter.fillRect(cell, QColor(30, 18, 10));
        }
        DrawText(painter, QRectF(leftmost, unitsCell.bottom() + 6, unitsCell.right() - leftmost, height - unitsCell.bottom() - 10),
                 QStringLiteral("本场比赛奖金"), Font(13), QColor(255, 236, 190), Qt::transparent, 0);
    });
}

QImage PaintFaceBackground(int sideWidth, int sideHeight, int localWidth, int localHeight)
{
    QImage image = NewCanvas(sideWidth + localWidth, std::max(sideHeight, localHeight));
    QPainter painter;
    Begin(painter, image);
    const auto panel = [&painter](const QRectF& box) {
        DrawPlate(painter, box.adjusted(1, 1, -1, -1), 10, 165);
        // The ring around the face, which sits at (16, 17) and is 80 x 80.
        const QRectF ring(box.left() + 12, box.top() + 13, 88, 88);
        QRadialGradient g(ring.center(), 44);
        g.setColorAt(0.85, QColor(0, 0, 0, 0));
        g.setColorAt(0.92, QColor(255, 230, 160, 200));
        g.setColorAt(1, QColor(140, 90, 30, 220));
        painter.setPen(Qt::NoPen);
        painter.setBrush(g);
        painter.drawEllipse(ring);
        painter.setPen(QPen(QColor(214, 180, 110, 120), 1));
        painter.drawLine(QPointF(box.left() + 10, box.top() + 104), QPointF(box.right() - 10, box.top() + 104));
    };
    panel(QRectF(0, 0, sideWidth, sideHeight));
    panel(QRectF(sideWidth, 0, localWidth, localHeight));
    painter.end();
    return image;
}

QImage PaintDeskInfo(int width, int height)
{
    return Paint(width, height, [&](QPainter& painter) {
        FillRounded(painter, QRectF(1, 1, width - 2, height - 2), 16, QColor(0, 0, 0, 70), QColor(0, 0, 0, 110),
                    QColor(255, 230, 160, 110), 1.5);
        DrawText(painter, QRectF(0, 8, width, 32), QStringLiteral("底  牌"), Font(22, QFont::Black), QColor(255, 236, 180, 230),
                 QColor(60, 30, 0, 200), 3);
        // Places of the three held-back cards.
        const qreal left = width / 2.0 - 125;
        painter.setBrush(QColor(255, 255, 255, 18));
        painter.setPen(QPen(QColor(255, 255, 255, 70), 1.2, Qt::DashLine));
        for (int i = 0; i < 3; ++i)
            painter.drawRoundedRect(QRectF(left + i * 85 + 0.5, 51.5, 79, 104), 5, 5);
    });
}

QImage PaintChat(int width, int closedHeight, int openTop, int openHeight)
{
    QImage image = NewCanvas(width, openTop + openHeight);
    QPainter painter;
    Begin(painter, image);
    // Closed: a bar with its caption.
    const QRectF bar(1, 1, width - 2, closedHeight - 2);
    DrawPlate(painter, bar, 10, 190);
    DrawText(painter, QRectF(14, 8, 80, closedHeight - 16), QStringLiteral("聊天"), Font(18), QColor(255, 230, 170),
             QColor(40, 20, 0), 2.5, Qt::AlignLeft | Qt::AlignVCenter);
    DrawText(painter, QRectF(80, 8, width - 96, closedHeight - 16), QStringLiteral("点击展开"), Font(13),
             QColor(220, 220, 220, 200), Qt::transparent, 0, Qt::AlignLeft | Qt::AlignVCenter);
    // Open: the box with a header and the message area.
    const QRectF box(1, openTop + 1, width - 2, openHeight - 2);
    DrawPlate(painter, box, 10, 200);
    DrawText(painter, QRectF(14, openTop + 4, 80, 22), QStringLiteral("聊天"), Font(16), QColor(255, 230, 170),
             QColor(40, 20, 0), 2.5, Qt::AlignLeft | Qt::AlignVCenter);
    FillRounded(painter, QRectF(10, openTop + 28, width - 20, openHeight - 40), 6, QColor(255, 255, 255, 26),
                QColor(255, 255, 255, 14), QColor(255, 255, 255, 60), 1);
    painter.end();
    return image;
}

QImage PaintCallScoreButtonsBack(int width, int height)
{
    return Paint(width, height, [&](QPainter& painter) {
        DrawPlate(painter, QRectF(1, 1, width - 2, height - 2), height / 2.0 - 1, 150);
    });
}

QImage PaintBubbles(int cellWidth, int cellHeight)
{
    QImage image = NewCanvas(3 * cellWidth, cellHeight);
    QPainter painter;
    Begin(painter, image);
    // Seat 0 (left) and seat 2 (right) point up to their faces; seat 1 (bottom) points down.
    for (int seat = 0; seat < 3; ++seat) {
        const qreal x0 = seat * cellWidth;
        QRectF body;
        QPolygonF tail;
        if (seat == 1) {
            body = QRectF(x0 + 14, 14, 130, 52);
            tail << QPointF(x0 + 34, 60) << QPointF(x0 + 6, cellHeight - 6) << QPointF(x0 + 54, 60);
        } else if (seat == 0) {
            body = QRectF(x0 + 14, 36, 130, 52);
            tail << QPointF(x0 + 30, 44) << QPointF(x0 + 6, 8) << QPointF(x0 + 52, 42);
        } else {
            body = QRectF(x0 + 7, 36, 130, 52);
            tail << QPointF(x0 + cellWidth - 30, 44) << QPointF(x0 + cellWidth - 6, 8) << QPointF(x0 + cellWidth - 52, 42);
        }
        QPainterPath bubble;
        bubble.addRoundedRect(body, 20, 20);
        QPainterPath pointer;
        pointer.addPolygon(tail);
        pointer.closeSubpath();
        bubble = bubble.united(pointer);
        painter.setPen(QPen(QColor(150, 110, 50), 2));
        QLinearGradient g(body.topLeft(), body.bottomLeft());
        g.setColorAt(0, QColor(255, 252, 236, 245));
        g.setColorAt(1, QColor(250, 226, 170, 245));
        painter.setBrush(g);
        painter.drawPath(bubble);
    }
    painter.end();
    return image;
}

QImage PaintCallScoreBack(int width, int height, int bidX, int multipleX, int digitsY)
{
    return Paint(width, height, [&](QPainter& painter) {
        // Hangs from the top edge: square top corners, rounded bottom ones.
        QPainterPath plaque;
        plaque.addRoundedRect(QRectF(1, -20, width - 2, height + 19), 18, 18);
        painter.setClipRect(QRectF(0, 0, width, height));
        QLinearGradient g(0, 0, 0, height);
        g.setColorAt(0, QColor(90, 40, 20, 235));
        g.setColorAt(1, QColor(50, 20, 8, 235));
        painter.setPen(QPen(kGoldRim, 2));
        painter.setBrush(g);
        painter.drawPath(plaque);
        painter.setClipping(false);
        // The panels' frames cover the plaque's wings, so each label stands over its number.
        const QColor label(255, 226, 150);
        SlotWell(painter, QRectF(bidX - 3, digitsY - 2, 32, 35));
        SlotWell(painter, QRectF(multipleX - 3, digitsY - 2, 58, 35));
        DrawText(painter, QRectF(bidX - 20, 6, 70, 24), QStringLiteral("叫分"), Font(18), label, QColor(40, 16, 0), 2.5);
        DrawText(painter, QRectF(multipleX - 8, 6, 70, 24), QStringLiteral("倍数"), Font(18), label, QColor(40, 16, 0), 2.5);
    });
}

QImage PaintShortcutBack(int width, int height)
{
    return Paint(width, height, [&](QPainter& painter) {
        QPainterPath tray;
        tray.addRoundedRect(QRectF(1, 1, width - 2, height + 20), 14, 14);
        painter.setClipRect(QRectF(0, 0, width, height));
        QLinearGradient g(0, 0, 0, height);
        g.setColorAt(0, QColor(10, 16, 24, 170));
        g.setColorAt(1, QColor(0, 0, 0, 200));
        painter.setPen(QPen(QColor(214, 180, 110, 180), 1.5));
        painter.setBrush(g);
        painter.drawPath(tray);
        painter.setClipping(false);
        DrawText(painter, QRectF(0, 44, width, 22), QStringLiteral("快捷选牌"), Font(14), QColor(255, 230, 170, 200),
                 Qt::transparent, 0);
    });
}

QImage PaintCounterBack(int width, int height, int firstSlotX, int slotStep, int labelTop, int numberTop)
{
    static const std::array<const char*, 15> kSlotNames = {"3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K", "A", "2", "小", "大"};
    QImage image = NewCanvas(width, height);
    QPainter painter;
    Begin(painter, image);
    QPainterPath tray;
    tray.addRoundedRect(QRectF(1, 1, width - 2, height + 20), 14, 14);
    painter.setClipRect(QRectF(0, 0, width, height));
    QLinearGradient g(0, 0, 0, height);
    g.setColorAt(0, QColor(16, 24, 40, 215));
    g.setColorAt(1, QColor(4, 8, 16, 230));
    painter.setPen(QPen(QColor(214, 180, 110, 200), 1.5));
    painter.setBrush(g);
    painter.drawPath(tray);
    painter.setClipping(false);
    for (int k = 0; k < 15; ++k) {
        const qreal x = firstSlotX + k * slotStep;
        const QColor ink = k >= 13 ? QColor(255, 120, 110) : QColor(255, 240, 210);
        FillRounded(painter, QRectF(x - 2, labelTop, 23, numberTop - labelTop + 24), 3, QColor(255, 255, 255, 28),
                    QColor(255, 255, 255, 12));
        DrawText(painter, QRectF(x - 2, labelTop + 2, 23, numberTop - labelTop - 6), QString::fromUtf8(kSlotNames[k]),
                 Font(17, QFont::Black), ink, QColor(0, 0, 0), 2);
    }
    DrawText(painter, QRectF(width - 140, height - 32, 126, 24), QStringLiteral("记牌器"), Font(16),
             QColor(255, 230, 170), QColor(40, 20, 0), 2, Qt::AlignRight | Qt::AlignVCenter);
    painter.end();
    return image;
}

QImage PaintCounterFrame(int width, int height)
{
    return Paint(width, height, [&](QPainter& painter) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(255, 200, 60, 90), 5));
        painter.drawRoundedRect(QRectF(3, 3, width - 6, height - 6), 6, 6);
        painter.setPen(QPen(QColor(255, 230, 120), 2));
        painter.drawRoundedRect(QRectF(3, 3, width - 6, height - 6), 6, 6);
    });
}

QImage PaintRightDownBack(int width, int height)
{
    return Paint(width, height, [&](QPainter& painter) {
        QPainterPath tray;
        tray.addRoundedRect(QRectF(1, 1, width + 20, height + 20), 16, 16);
        painter.setClipRect(QRectF(0, 0, width, height));
        QLinearGradient g(0, 0, 0, height);
        g.setColorAt(0, QColor(12, 18, 28, 150));
        g.setColorAt(1, QColor(0, 0, 0, 200));
        painter.setPen(QPen(QColor(214, 180, 110, 180), 1.5));
        painter.setBrush(g);
        painter.drawPath(tray);
        painter.setClipping(false);
        painter.setPen(QPen(QColor(214, 180, 110, 90), 1));
        painter.drawLine(QPointF(12, 42), QPointF(width - 12, 42));
        DrawText(painter, QRectF(14, 8, width - 28, 28), QStringLiteral("牌桌工具"), Font(15), QColor(255, 230, 170, 210),
                 Qt::transparent, 0, Qt::AlignLeft | Qt::AlignVCenter);
    });
}

QImage PaintInformationBack(int width, int height, const QRect& panelWindow)
{
    return Paint(width, height, [&](QPainter& painter) {
        const int half = width / 2;
        const QString titles[2] = {QStringLiteral("比赛信息"), QStringLiteral("积分信息")};
        for (int i = 0; i < 2; ++i) {
            const qreal x0 = i * half;
            // Hangs from the top edge like the bid plaque; its lowest 40 rows are the tab that stays
            // visible when the panel is closed.
            QPainterPath frame;
            frame.addRoundedRect(QRectF(x0 + 1, -20, half - 2, height + 19), 14, 14);
            painter.save();
            painter.setClipRect(QRectF(x0, 0, half, height));
            QLinearGradient g(0, 0, 0, height);
            g.setColorAt(0, QColor(70, 40, 24, 240));
            g.setColorAt(1, QColor(40, 20, 10, 240));
            painter.setPen(QPen(kGoldRim, 2));
            painter.setBrush(g);
            painter.drawPath(frame);
            painter.restore();
            const QRectF window = QRectF(panelWindow).translated(x0, 0);
            painter.fillRect(window.adjusted(-1, -1, 1, 1), QColor(214, 180, 110, 160));
            painter.fillRect(window, kPanelInk);
            DrawText(painter, QRectF(x0 + 14, height - 36, 100, 24), titles[i], Font(15), QColor(255, 230, 170),
                     QColor(30, 12, 0), 2, Qt::AlignLeft | Qt::AlignVCenter);
        }
    });
}

QImage PaintSeatMark(int width, int height, const QString& text, const QColor& colour, int dim)
{
    return Paint(width, height, [&](QPainter& painter) {
        const QRectF all(0, 0, width, height);
        // Optionally dim the face beneath, then a tag across its lower part.
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, dim));
        painter.drawEllipse(all.adjusted(3, 3, -3, -3));
        const QRectF tag(4, height * 0.62, width - 8, height * 0.3);
        Tag(painter, tag, text, colour);
    });
}

QImage PaintChatFlash(int width, int height, const QRect& box)
{
    return Paint(width, height, [&](QPainter& painter) {
        painter.setBrush(Qt::NoBrush);
        for (int i = 4; i >= 1; --i) {
            painter.setPen(QPen(QColor(255, 210, 60, 40 + (4 - i) * 50), i * 1.6));
            painter.drawRoundedRect(QRectF(box).adjusted(-1, -1, 1, 1), 11, 11);
        }
        painter.setBrush(QColor(255, 220, 100, 40));
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(QRectF(box), 10, 10);
    });
}

QImage PaintLevelBars(int width, int height)
{
    return Paint(width, height, [&](QPainter& painter) {
        const qreal h = height / 2.0;
        const QRectF empty(0.5, 0.5, width - 1, h - 1);
        const QRectF full(0.5, h + 0.5, width - 1, h - 1);
        const qreal r = h / 2 - 0.5;
        FillRounded(painter, empty, r, QColor(20, 20, 26), QColor(60, 60, 70), QColor(150, 130, 90), 1);
        QLinearGradient g(full.topLeft(), full.topRight());
        g.setColorAt(0, QColor(90, 220, 90));
        g.setColorAt(1, QColor(250, 230, 60));
        painter.setPen(QPen(QColor(150, 130, 90), 1));
        painter.setBrush(g);
        painter.drawRoundedRect(full, r, r);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 90));
        painter.drawRoundedRect(QRectF(full.left() + 2, full.top() + 1.5, full.width() - 4, full.height() * 0.35), r / 2, r / 2);
    });
}

QImage PaintMatchInfo(int width, int height, const std::vector<QString>& labels, int firstY, int step)
{
    QImage image = NewCanvas(width, height, kPanelInk);
    QPainter painter;
    Begin(painter, image);
    for (size_t i = 0; i < labels.size(); ++i) {
        const QRectF line(6, firstY + static_cast<int>(i) * step, 94, std::min(step, 18));
        DrawText(painter, line, labels[i], Font(13), QColor(255, 214, 120), Qt::transparent, 0,
                 Qt::AlignLeft | Qt::AlignVCenter);
    }
    painter.setPen(QPen(QColor(214, 180, 110, 90), 1));
    painter.drawLine(QPointF(100.5, 4), QPointF(100.5, height - 4));
    painter.end();
    return image;
}

QImage PaintRoleSheet(int frameWidth, int frameHeight)
{
    QImage image = NewCanvas(4 * frameWidth, frameHeight);
    QPainter painter;
    Begin(painter, image);
    const Role roles[4] = {Role::Farmer, Role::Farmer, Role::Landlord, Role::Landlord};
    const Gender genders[4] = {Gender::Man, Gender::Woman, Gender::Man, Gender::Woman};
    for (int i = 0; i < 4; ++i)
        DrawFace(painter, QRectF(i * frameWidth, 0, frameWidth, frameHeight), roles[i], genders[i]);
    painter.end();
    return FlattenOnKey(image, Qt::black);
}

QImage PaintFaceFrame(int width, int height, const QRect& faceCell)
{
    return Paint(width, height, [&](QPainter& painter) {
        QPainterPath frame;
        frame.addRoundedRect(QRectF(1, 1, width - 2, height - 2), 14, 14);
        QPainterPath hole;
        hole.addEllipse(QRectF(faceCell).adjusted(1, 1, -1, -1));
        frame = frame.subtracted(hole);
        QLinearGradient g(0, 0, width, height);
        g.setColorAt(0, QColor(255, 236, 150));
        g.setColorAt(0.5, QColor(210, 150, 40));
        g.setColorAt(1, QColor(150, 90, 20));
        painter.setPen(QPen(QColor(100, 60, 10), 1.2));
        painter.setBrush(g);
        painter.drawPath(frame);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(255, 250, 220, 160), 1));
        painter.drawEllipse(QRectF(faceCell).adjusted(-2, -2, 2, 2));
    });
}

QImage PaintBanner(int width, int height, const QString& text, const QColor& accent)
{
    return Paint(width, height, [&](QPainter& painter) {
        const qreal notch = height * 0.35;
        QPainterPath ribbon;
        ribbon.moveTo(0, 4);
        ribbon.lineTo(width, 4);
        ribbon.lineTo(width - notch, height / 2.0);
        ribbon.lineTo(width, height - 4);
        ribbon.lineTo(0, height - 4);
        ribbon.lineTo(notch, height / 2.0);
        ribbon.closeSubpath();
        QLinearGradient g(0, 0, 0, height);
        g.setColorAt(0, accent.lighter(140));
        g.setColorAt(1, accent.darker(130));
        painter.setPen(QPen(accent.darker(200), 1.5));
        painter.setBrush(g);
        painter.drawPath(ribbon);
        DrawText(painter, QRectF(notch + 6, 6, width - 2 * notch - 12, height - 12), text, Font(height * 0.5, QFont::Black),
                 QColor(255, 250, 230), accent.darker(260), 3);
    });
}

QImage PaintStamps(int cellWidth, int cellHeight)
{
    QImage image = NewCanvas(2 * cellWidth, cellHeight);
    QPainter painter;
    Begin(painter, image);
    const QString words[2] = {QStringLiteral("胜"), QStringLiteral("负")};
    const QColor colours[2] = {QColor(220, 30, 40), QColor(70, 110, 170)};
    for (int i = 0; i < 2; ++i) {
        const QRectF cell(i * cellWidth, 0, cellWidth, cellHeight);
        const qreal d = std::min(cellWidth, cellHeight) - 4;
        const QRectF circle(cell.center().x() - d / 2, cell.center().y() - d / 2, d, d);
        painter.save();
        painter.translate(circle.center());
        painter.rotate(-14);
        painter.translate(-circle.center());
        painter.setBrush(QColor(255, 255, 255, 60));
        painter.setPen(QPen(colours[i], std::max<qreal>(2, d * 0.06)));
        painter.drawEllipse(circle);
        painter.setPen(QPen(colours[i], std::max<qreal>(1, d * 0.03)));
        painter.drawEllipse(circle.adjusted(d * 0.1, d * 0.1, -d * 0.1, -d * 0.1));
        DrawText(painter, circle.adjusted(d * 0.2, d * 0.2, -d * 0.2, -d * 0.2), words[i], Font(d * 0.55, QFont::Black),
                 colours[i], QColor(255, 255, 255, 200), 2);
        painter.restore();
    }
    painter.end();
    return image;
}

QImage PaintCoinIcon(int width, int height)
{
    return Paint(width, height, [&](QPainter& painter) {
        DrawCoin(painter, QRectF(0, 0, width, height));
    });
}

QImage PaintTicketIcon(int width, int height)
{
    return Paint(width, height, [&](QPainter& painter) {
        DrawTicket(painter, QRectF(0, 0, width, height));
    });
}

QImage PaintReachTop(int width, int height)
{
    QImage image = NewCanvas(width, height);
    QPainter painter;
    Begin(painter, image);
    const QRectF box(1, 1, width - 2, height - 2);
    painter.setPen(QPen(QColor(140, 80, 10), 1.5));
    QRadialGradient g(box.center(), box.width() / 2);
    g.setColorAt(0, QColor(255, 240, 150));
    g.setColorAt(1, QColor(230, 150, 20));
    painter.setBrush(g);
    painter.drawPath(StarPath(box.center(), box.width() / 2, box.width() / 4.2));
    DrawText(painter, box.adjusted(width * 0.28, height * 0.3, -width * 0.28, -height * 0.22), QStringLiteral("顶"),
             Font(height * 0.4, QFont::Black), QColor(200, 20, 30), QColor(255, 255, 255), 2);
    painter.end();
    return FlattenOnKey(image, QColor(255, 0, 255));
}

QImage PaintMissionItems(int width, int rowHeight, int rows)
{
    QImage image = NewCanvas(width, rowHeight * rows);
    QPainter painter;
    Begin(painter, image);
    // Row 2 x hover + 1 is an entry that can be taken, rows 0 and 2 are entries that cannot.
    for (int r = 0; r < rows; ++r) {
        const bool active = r % 2 == 1;
        const bool hover = r >= 2;
        const QRectF row(1, r * rowHeight + 1, width - 2, rowHeight - 2);
        QColor top = active ? QColor(255, 246, 220) : QColor(226, 222, 214);
        QColor bottom = active ? QColor(244, 220, 170) : QColor(200, 196, 188);
        if (hover) {
            top = top.lighter(106);
            bottom = active ? QColor(255, 206, 120) : bottom.lighter(106);
        }
        FillRounded(painter, row, 8, top, bottom, active ? QColor(190, 140, 70) : QColor(150, 150, 150), hover ? 2 : 1);
        painter.setPen(Qt::NoPen);
        painter.setBrush(active ? QColor(240, 170, 30) : QColor(160, 160, 160));
        painter.drawPath(StarPath(QPointF(row.left() + 18, row.center().y()), 10, 4.5));
    }
    painter.end();
    return image;
}

QImage PaintAwardCrystal(int width, int height)
{
    return Paint(width, height, [&](QPainter& painter) {
        const QPointF c(30, height / 2.0);
        QPainterPath gem;
        gem.moveTo(c + QPointF(0, -height * 0.42));
        gem.lineTo(c + QPointF(height * 0.32, -height * 0.12));
        gem.lineTo(c + QPointF(0, height * 0.42));
        gem.lineTo(c + QPointF(-height * 0.32, -height * 0.12));
        gem.closeSubpath();
        QLinearGradient g(c + QPointF(-20, -20), c + QPointF(20, 20));
        g.setColorAt(0, QColor(200, 250, 255));
        g.setColorAt(1, QColor(40, 140, 230));
        painter.setPen(QPen(QColor(20, 70, 140), 1.2));
        painter.setBrush(g);
        painter.drawPath(gem);
        painter.setPen(QPen(QColor(255, 255, 255, 160), 1));
        painter.drawLine(c + QPointF(-height * 0.32, -height * 0.12), c + QPointF(height * 0.32, -height * 0.12));
        DrawText(painter, QRectF(56, 6, width - 62, height - 12), QStringLiteral("获得奖励"), Font(20, QFont::Black),
                 QColor(255, 226, 120), QColor(80, 30, 0), 3);
    });
}

QImage PaintTaskState(int width, int height, const QString& text, bool busy)
{
    return Paint(width, height, [&](QPainter& painter) {
        const QRectF body(8, 40, width - 16, height - 56);
        if (busy) {
            // An hourglass.
            const QPointF c(body.center().x(), body.top() + 30);
            QPainterPath glass;
            glass.moveTo(c + QPointF(-14, -20));
            glass.lineTo(c + QPointF(14, -20));
            glass.lineTo(c + QPointF(2, 0));
            glass.lineTo(c + QPointF(14, 20));
            glass.lineTo(c + QPointF(-14, 20));
            glass.lineTo(c + QPointF(-2, 0));
            glass.closeSubpath();
            painter.setPen(QPen(QColor(214, 180, 110), 2));
            painter.setBrush(QColor(255, 230, 160, 120));
            painter.drawPath(glass);
        } else {
            painter.setPen(QPen(QColor(214, 180, 110), 2));
            painter.setBrush(QColor(255, 255, 255, 30));
            painter.drawRoundedRect(QRectF(body.center().x() - 20, body.top() + 10, 40, 40), 6, 6);
            painter.drawLine(QPointF(body.center().x() - 10, body.top() + 24), QPointF(body.center().x() + 10, body.top() + 24));
            painter.drawLine(QPointF(body.center().x() - 10, body.top() + 34), QPointF(body.center().x() + 6, body.top() + 34));
        }
        DrawText(painter, QRectF(body.left(), body.top() + 58, body.width(), 24), text, Font(16), QColor(255, 236, 190),
                 QColor(30, 12, 0), 2);
    });
}

QImage PaintAppIcon(int size)
{
    QImage image = NewCanvas(size, size);
    QPainter painter;
    Begin(painter, image);
    const qreal s = size / 64.0;
    painter.scale(s, s);
    FillRounded(painter, QRectF(2, 2, 60, 60), 14, QColor(60, 150, 80), QColor(20, 80, 40), QColor(230, 200, 120), 2);
    for (int i = -1; i <= 1; ++i) {
        painter.save();
        painter.translate(32, 50);
        painter.rotate(i * 18);
        if (i == 1) {
            PaintCardBack(painter, QRectF(-11, -34, 22, 30), 3);
        } else {
            FillRounded(painter, QRectF(-11, -34, 22, 30), 3, QColor(255, 255, 252), QColor(232, 230, 222), QColor(110, 110, 110), 1);
            painter.fillPath(SuitPath(i < 0 ? Suit::Spade : Suit::Heart, QRectF(-6, -27, 12, 13)),
                             SuitColour(i < 0 ? Suit::Spade : Suit::Heart));
        }
        painter.restore();
    }
    DrawCrown(painter, QRectF(20, 6, 24, 14), QColor(240, 190, 40));
    painter.end();
    return image;
}

} // namespace art
