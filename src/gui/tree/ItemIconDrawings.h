#pragma once

#include <QPainter>

#include <functional>

namespace itemicons {

// Paints one picture on a 16x16 grid; the caller scales the painter.
using Draw = std::function<void(QPainter &)>;

// The vector drawing of item image `image` (0..59); empty for other numbers.
Draw drawing(int image);

}  // namespace itemicons
