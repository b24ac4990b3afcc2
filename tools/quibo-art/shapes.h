// Shapes as signed distance functions: negative inside, positive outside, in pixels. Filling
// one covers each pixel by how much of it lies inside, which antialiases every edge.
#pragma once

#include "canvas.h"

#include <functional>
#include <vector>

struct Point {
    float x, y;
};

struct Shape {
    float left, top, right, bottom; // bounds; nothing is drawn outside them
    std::function<float(float x, float y)> distance;
};

Shape Circle(float cx, float cy, float radius);
Shape Ellipse(float cx, float cy, float rx, float ry);
// A rectangle from (left, top) to (right, bottom) with corners rounded by radius.
Shape RoundRect(float left, float top, float right, float bottom, float radius);
Shape Polygon(std::vector<Point> points); // convex or not, either winding
// A straight stroke with round ends.
Shape Segment(Point a, Point b, float width);

// The band of the given width just inside the shape's edge.
Shape Outline(const Shape& shape, float width);
// The shape grown (positive) or shrunk (negative) by amount.
Shape Grown(const Shape& shape, float amount);
Shape Union(const Shape& a, const Shape& b);
Shape Intersection(const Shape& a, const Shape& b);
Shape Difference(const Shape& a, const Shape& b);
Shape Moved(const Shape& shape, float dx, float dy);
// The shape turned by `angle` radians (clockwise on screen) about (cx, cy).
Shape Rotated(const Shape& shape, float angle, float cx, float cy);

// The fraction of the pixel whose centre is (x, y) that the shape covers.
float Coverage(const Shape& shape, float x, float y);

void Fill(Canvas& canvas, const Shape& shape, const Paint& paint, float opacity = 1.0f);
void Fill(Canvas& canvas, const Shape& shape, Colour colour);
// A soft glow or shadow: the shape blurred outwards over the given radius.
void Glow(Canvas& canvas, const Shape& shape, Colour colour, float radius);
