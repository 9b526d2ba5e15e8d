#pragma once

// Points, sizes and rectangles as the game code uses them. A rectangle is (left, top, right,
// bottom) with right and bottom exclusive: width = right - left, and PtInRect(right, y) is false.
// Plain structs without Qt, so rules code can use them; QtConvert.h converts at the Qt edge.

#include <algorithm>

struct CSize {
    int cx = 0;
    int cy = 0;

    constexpr CSize() = default;
    constexpr CSize(int w, int h) : cx(w), cy(h) {}
    constexpr bool operator==(const CSize&) const = default;
};

struct CPoint {
    int x = 0;
    int y = 0;

    constexpr CPoint() = default;
    constexpr CPoint(int px, int py) : x(px), y(py) {}
    constexpr void Offset(int dx, int dy) { x += dx; y += dy; }
    constexpr bool operator==(const CPoint&) const = default;
    constexpr CPoint operator+(const CPoint& o) const { return {x + o.x, y + o.y}; }
    constexpr CPoint operator-(const CPoint& o) const { return {x - o.x, y - o.y}; }
    constexpr CPoint operator+(const CSize& s) const { return {x + s.cx, y + s.cy}; }
};

struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    constexpr CRect(const CPoint& topLeft, const CSize& size)
        : left(topLeft.x), top(topLeft.y), right(topLeft.x + size.cx), bottom(topLeft.y + size.cy) {}

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr CSize Size() const { return {Width(), Height()}; }
    constexpr CPoint TopLeft() const { return {left, top}; }
    constexpr CPoint BottomRight() const { return {right, bottom}; }
    constexpr CPoint CenterPoint() const { return {(left + right) / 2, (top + bottom) / 2}; }

    // Empty when it has no area (also when inverted).
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    constexpr bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    constexpr bool PtInRect(const CPoint& p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }

    constexpr void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    constexpr void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    constexpr void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
    constexpr void OffsetRect(const CPoint& p) { OffsetRect(p.x, p.y); }
    constexpr void MoveToXY(int x, int y) { OffsetRect(x - left, y - top); }
    constexpr void InflateRect(int dx, int dy) { left -= dx; right += dx; top -= dy; bottom += dy; }
    constexpr void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }

    // Like IntersectRect/UnionRect of Windows: an empty result becomes (0, 0, 0, 0).
    constexpr bool IntersectRect(const CRect& a, const CRect& b)
    {
        CRect r(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom));
        if (r.IsRectEmpty()) {
            SetRectEmpty();
            return false;
        }
        *this = r;
        return true;
    }
    constexpr bool UnionRect(const CRect& a, const CRect& b)
    {
        if (a.IsRectEmpty()) {
            *this = b;
        } else if (b.IsRectEmpty()) {
            *this = a;
        } else {
            SetRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom));
        }
        if (IsRectEmpty()) {
            SetRectEmpty();
            return false;
        }
        return true;
    }

    constexpr bool operator==(const CRect&) const = default;
};
