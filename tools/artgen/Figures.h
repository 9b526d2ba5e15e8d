#pragma once

// Small drawings used by more than one picture family: suit symbols, the four player faces, coins
// and tickets.

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>

namespace art {

// Row order of the card sheet. Rows 1 and 3 are the red suits.
enum class Suit { Spade = 0, Heart = 1, Club = 2, Diamond = 3 };

QPainterPath SuitPath(Suit suit, const QRectF& box);
QColor SuitColour(Suit suit);

// The avatars: farmer or landlord, man or woman. The face picture's frames follow the order of
// the role index: gender + 2 for the landlord.
enum class Role { Farmer, Landlord };
enum class Gender { Man, Woman };
enum class Mood { Calm, Happy, Sad };

void DrawFace(QPainter& painter, const QRectF& box, Role role, Gender gender, Mood mood = Mood::Calm);

void DrawCoin(QPainter& painter, const QRectF& box);
void DrawTicket(QPainter& painter, const QRectF& box);
void DrawCrown(QPainter& painter, const QRectF& box, const QColor& colour);

} // namespace art
