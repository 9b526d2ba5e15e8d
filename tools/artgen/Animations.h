#pragma once

// Frame strips: N frames of equal size side by side (or stacked, for the result window's
// firework), each drawn by a frame painter that knows its frame number and the frame count.

#include <QImage>
#include <QPainter>
#include <QRectF>

namespace art {

using FramePainter = void (*)(QPainter& painter, const QRectF& frame, int index, int count);

enum class StripDirection { Across, Down };

QImage PaintStrip(int frames, int frameWidth, int frameHeight, FramePainter paint,
                  StripDirection direction = StripDirection::Across);

void PaintBombFrame(QPainter&, const QRectF&, int, int);
void PaintRocketFrame(QPainter&, const QRectF&, int, int);
void PaintPlaneFrame(QPainter&, const QRectF&, int, int);
void PaintFlowerFrame(QPainter&, const QRectF&, int, int);
void PaintSpringFrame(QPainter&, const QRectF&, int, int);
void PaintSpringContraryFrame(QPainter&, const QRectF&, int, int);
void PaintSmokeFrame(QPainter&, const QRectF&, int, int);
void PaintShuffleFrame(QPainter&, const QRectF&, int, int);
void PaintRoleFrame(QPainter&, const QRectF&, int, int);
void PaintCompleteFrame(QPainter&, const QRectF&, int, int);
void PaintFailFrame(QPainter&, const QRectF&, int, int);
void PaintFireworkFrame(QPainter&, const QRectF&, int, int);
void PaintAlarmFrame(QPainter&, const QRectF&, int, int);
void PaintTopBadgeFrame(QPainter&, const QRectF&, int, int);
void PaintTaskCartoonFrame(QPainter&, const QRectF&, int, int);

} // namespace art
