#pragma once

// Conversions between the game's geometry and colours and Qt's, for code at the Qt edge.

#include "platform/Geometry.h"
#include "platform/WinDefs.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>

inline QRect ToQRect(const CRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }
inline CRect ToCRect(const QRect& r) { return CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height()); }
inline QPoint ToQPoint(const CPoint& p) { return QPoint(p.x, p.y); }
inline CPoint ToCPoint(const QPoint& p) { return CPoint(p.x(), p.y()); }
inline QSize ToQSize(const CSize& s) { return QSize(s.cx, s.cy); }
inline CSize ToCSize(const QSize& s) { return CSize(s.width(), s.height()); }

inline QColor ToQColor(COLORREF c, int alpha = 255) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c), alpha); }
inline COLORREF ToColorRef(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }
// An opaque ARGB pixel value (QRgb) of a COLORREF.
inline unsigned ToQRgb(COLORREF c) { return 0xFF000000u | (unsigned(GetRValue(c)) << 16) | (unsigned(GetGValue(c)) << 8) | GetBValue(c); }
