#pragma once

#include <algorithm>

namespace platform {

// Points on the screen, or pixels inside a bitmap context at scale 1: the platform draws
// everything at one point per pixel unless a scale is given explicitly.
struct Point {
    double x = 0;
    double y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    double width = 0;
    double height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// An origin (top left in a y-down space) and a size; a negative size is not normalised.
struct Rect {
    Point origin;
    Size size;

    constexpr Rect() = default;
    constexpr Rect(double x, double y, double width, double height)
        : origin{x, y}, size{width, height} {}
    constexpr Rect(Point o, Size s) : origin(o), size(s) {}

    double x() const { return origin.x; }
    double y() const { return origin.y; }
    double width() const { return size.width; }
    double height() const { return size.height; }
    double minX() const { return std::min(origin.x, origin.x + size.width); }
    double minY() const { return std::min(origin.y, origin.y + size.height); }
    double maxX() const { return std::max(origin.x, origin.x + size.width); }
    double maxY() const { return std::max(origin.y, origin.y + size.height); }
    bool isEmpty() const { return size.width == 0 || size.height == 0; }

    // Half-open: the left and top edges are inside, the right and bottom edges are not.
    bool contains(Point p) const {
        return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
    }

    Rect intersection(const Rect& other) const {
        const double x0 = std::max(minX(), other.minX());
        const double y0 = std::max(minY(), other.minY());
        const double x1 = std::min(maxX(), other.maxX());
        const double y1 = std::min(maxY(), other.maxY());
        if (x1 <= x0 || y1 <= y0)
            return Rect{};
        return Rect{x0, y0, x1 - x0, y1 - y0};
    }

    // The smallest rectangle holding both; an empty rectangle adds nothing.
    Rect united(const Rect& other) const {
        if (isEmpty())
            return other;
        if (other.isEmpty())
            return *this;
        const double x0 = std::min(minX(), other.minX());
        const double y0 = std::min(minY(), other.minY());
        return Rect{x0, y0, std::max(maxX(), other.maxX()) - x0,
                    std::max(maxY(), other.maxY()) - y0};
    }

    // Whether every point of other lies in this rectangle (an empty one lies anywhere).
    bool containsRect(const Rect& other) const {
        return other.isEmpty() || (other.minX() >= minX() && other.maxX() <= maxX() &&
                                   other.minY() >= minY() && other.maxY() <= maxY());
    }

    double area() const { return (maxX() - minX()) * (maxY() - minY()); }

    friend bool operator==(const Rect&, const Rect&) = default;
};

} // namespace platform
