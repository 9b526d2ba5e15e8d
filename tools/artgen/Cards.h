#pragma once

// The card pictures: the 13 x 5 sheet the card controls cut, the small back of the side seats,
// the two-frame flip of the held-back cards and the pointer shown over a clickable hand.

#include <QImage>
#include <QPainter>
#include <QRectF>

namespace art {

// 13 columns (ace to king) x 5 rows (four suits, then small joker, big joker, back) on black,
// black being the transparent colour of the sheet.
QImage PaintCardSheet(int cellWidth, int cellHeight);

void PaintCardBack(QPainter& painter, const QRectF& box, qreal radius);

QImage PaintSmallCardBack(int width, int height);

// Two frames side by side on magenta (the key colour): the back turning, then the card edge-on.
QImage PaintCardFlip(int frameWidth, int frameHeight);

// A pointing hand; its hot spot is at (9, 1) of a 32 x 32 picture.
QImage PaintCardCursor(int size);

} // namespace art
