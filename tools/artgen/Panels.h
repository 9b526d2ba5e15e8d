#pragma once

// Panels, plates, marks, notices and labelled pieces of the table, the result window, the task
// window and the mission dialog.

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

#include <vector>

namespace art {

// A picture cut into labelled pieces at fixed places; the readers copy the pieces by their
// rectangles, so the rectangles are part of the picture's contract and live in the catalog.
enum class PieceStyle {
    Text,    // outlined text in the piece's colour
    Plain,   // text without outline
    Tag,     // a rounded tag of the piece's colour with white text
    Dim,     // a greyed tag (the unlit form of a Tag)
};

struct Piece {
    QRect rect;
    QString text;
    PieceStyle style = PieceStyle::Text;
    QColor colour = QColor(255, 236, 170);
    Qt::Alignment align = Qt::AlignCenter;
};

QImage PaintPieces(int width, int height, const std::vector<Piece>& pieces);

// A notice: a rounded translucent plate with one line of text.
QImage PaintNotice(int width, int height, const QString& text, const QColor& accent);

// Table pieces.
QImage PaintPrizeBack(int width, int height, const QRect& unitsCell, int cellStep, int cells);
QImage PaintFaceBackground(int sideWidth, int sideHeight, int localWidth, int localHeight);
QImage PaintDeskInfo(int width, int height);
QImage PaintChat(int width, int closedHeight, int openTop, int openHeight);
QImage PaintCallScoreButtonsBack(int width, int height);
QImage PaintBubbles(int cellWidth, int cellHeight);
QImage PaintCallScoreBack(int width, int height, int bidX, int multipleX, int digitsY);
QImage PaintShortcutBack(int width, int height);
QImage PaintCounterBack(int width, int height, int firstSlotX, int slotStep, int labelTop, int numberTop);
QImage PaintCounterFrame(int width, int height);
QImage PaintRightDownBack(int width, int height);
QImage PaintInformationBack(int width, int height, const QRect& panelWindow);
// A mark over a seat's face; `dim` (0-255) darkens the face beneath.
QImage PaintSeatMark(int width, int height, const QString& text, const QColor& colour, int dim);
QImage PaintChatFlash(int width, int height, const QRect& box);
QImage PaintLevelBars(int width, int height);
QImage PaintMatchInfo(int width, int height, const std::vector<QString>& labels, int firstY, int step);

// Faces: frames of 80 x 80 style cells side by side in the role order (gender + 2 for the
// landlord), on black, black being the key colour.
QImage PaintRoleSheet(int frameWidth, int frameHeight);

// Result window pieces.
QImage PaintFaceFrame(int width, int height, const QRect& faceCell);
QImage PaintBanner(int width, int height, const QString& text, const QColor& accent);
QImage PaintStamps(int cellWidth, int cellHeight);
QImage PaintCoinIcon(int width, int height);
QImage PaintTicketIcon(int width, int height);
QImage PaintReachTop(int width, int height);

// Task window and mission dialog pieces.
QImage PaintMissionItems(int width, int rowHeight, int rows);
QImage PaintAwardCrystal(int width, int height);
QImage PaintTaskState(int width, int height, const QString& text, bool busy);

// Application icon.
QImage PaintAppIcon(int size);

} // namespace art
