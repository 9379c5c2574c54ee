#pragma once
// Points and rectangles in whole logical pixels. A rectangle is (left, top, right, bottom) with
// the right and bottom edges outside it, so (0, 0, 10, 5) is 10 pixels wide and 5 high. A
// rectangle whose right is not beyond its left (or bottom not below its top) is empty.

#include <algorithm>

namespace vorlatek::toolkit {

struct Point {
    int x = 0;
    int y = 0;

    friend bool operator==(const Point&, const Point&) = default;
    Point operator+(Point o) const { return {x + o.x, y + o.y}; }
    Point operator-(Point o) const { return {x - o.x, y - o.y}; }
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static Rect fromSize(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }

    friend bool operator==(const Rect&, const Rect&) = default;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    Point topLeft() const { return {left, top}; }
    bool contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }

    Rect offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    Rect offset(Point d) const { return offset(d.x, d.y); }
    Rect inset(int dx, int dy) const { return {left + dx, top + dy, right - dx, bottom - dy}; }
    Rect intersect(const Rect& o) const {
        return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    }
    bool intersects(const Rect& o) const { return !intersect(o).isEmpty(); }
    // The smallest rectangle holding both; an empty operand adds nothing.
    Rect unite(const Rect& o) const {
        if (o.isEmpty()) return *this;
        if (isEmpty()) return o;
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
    }
};

}  // namespace vorlatek::toolkit
