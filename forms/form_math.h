// The arithmetic of the form framework, apart from any window: styles by
// creation mode, the page rectangle of a tab control, centring in a work area,
// the colour encoding, font heights and the layout of heap blocks.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace rostrel {

// How a form is created: 0 top-level, 1 and 2 child without frame, 3 child
// with frame, 4 tab page.
struct FormStyles {
  std::uint32_t style, ex_style;
  bool operator==(const FormStyles&) const = default;
};
// The styles a form is created with, parent or not, clipping added.
FormStyles StylesForMode(std::uint32_t style, std::uint32_t ex_style, int mode, bool has_parent);

struct Rect {
  std::int32_t x, y, width, height;
  bool operator==(const Rect&) const = default;
};

// The page area of a tab control at tab (in its parent's client coordinates),
// whose tab row ends at row_bottom, inset by margin.
Rect TabPageRect(const Rect& tab, std::int32_t row_bottom, std::int32_t margin);

// Top-left corner of a window of the given size centred in the work area (mode
// 2), or centred on reference and kept inside the work area (modes 3 and 4).
struct Point {
  std::int32_t x, y;
  bool operator==(const Point&) const = default;
};
Point CenterInWorkArea(const Rect& work, std::int32_t width, std::int32_t height);
Point CenterOnReference(const Rect& work, const Rect& reference, std::int32_t width, std::int32_t height);

// Colours: -1 not set; high byte 0 an RGB value; high byte 1 a system colour
// whose low byte is its index. Anything else counts as not set (-1).
std::int32_t CheckedColor(std::int32_t color);
bool IsSystemColor(std::int32_t color);
// A colour property holds the colour + 1, so that 0 (no property) means not set.
inline std::uintptr_t ColorProperty(std::int32_t color) { return static_cast<std::uint32_t>(color) + 1u; }
inline std::int32_t ColorFromProperty(std::uintptr_t value) { return static_cast<std::int32_t>(value - 1); }

// The logical height of a font: -trunc(round(dpi * points) / 72).
std::int32_t FontHeight(int dpi, double points);
// The height the dialog manager gives a template's font of whole points:
// -MulDiv(points, dpi, 72), the quotient rounded half away from zero.
std::int32_t DialogFontHeight(int dpi, int points);

// A zero-filled heap block for size bytes holds max(size + 1, 16) bytes; none for 0.
std::size_t HeapBlockSize(std::size_t size);
// A tag block: the text's length as a 32-bit number, then its bytes, zero-filled
// to HeapBlockSize(length + 5); empty for an empty text.
std::vector<std::uint8_t> TagBlock(std::string_view text);

}  // namespace rostrel
