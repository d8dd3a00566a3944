#include "forms/form_math.h"

#include <algorithm>
#include <cmath>

namespace rostrel {

namespace {

constexpr std::uint32_t kWsChild = 0x40000000, kDsControl = 0x400, kWsClip = 0x06000000;
constexpr std::uint32_t kFrameStyles = 0x20000000 | 0x01000000 | 0x00C00000 | 0x00800000 | 0x00400000 |
                                       0x00080000 | 0x00040000 | 0x00020000 | 0x00010000;
constexpr std::uint32_t kFrameExStyles = 0x1 | 0x80 | 0x400 | 0x20000;  // modal frame, tool window, help, static edge
constexpr std::uint32_t kEdgeExStyles = 0x100 | 0x200;                   // window edge, client edge
constexpr std::uint32_t kWsExTopmost = 0x8;

std::int32_t HalfOfRounded(std::int32_t n) {
  return static_cast<std::int32_t>(std::nearbyint(static_cast<double>(n) / 2.0));
}

}  // namespace

FormStyles StylesForMode(std::uint32_t style, std::uint32_t ex_style, int mode, bool has_parent) {
  if (has_parent) {
    if (mode >= 1 && mode <= 4) style |= kWsChild | kDsControl;
    if (mode == 1 || mode == 2 || mode == 4) {
      style &= ~kFrameStyles;
      ex_style &= ~kFrameExStyles;
    }
    if (mode == 4) ex_style &= ~kEdgeExStyles;
  }
  if (style & kWsChild) ex_style &= ~kWsExTopmost;
  return {style | kWsClip, ex_style};
}

Rect TabPageRect(const Rect& tab, std::int32_t row_bottom, std::int32_t margin) {
  return {tab.x + margin, tab.y + margin + row_bottom, tab.width - 2 * margin - 1,
          tab.height - row_bottom - 2 * margin - 1};
}

Point CenterInWorkArea(const Rect& work, std::int32_t width, std::int32_t height) {
  return {work.x + std::max(0, HalfOfRounded(work.width - width)),
          work.y + std::max(0, HalfOfRounded(work.height - height))};
}

Point CenterOnReference(const Rect& work, const Rect& reference, std::int32_t width, std::int32_t height) {
  Point p{reference.x + HalfOfRounded(reference.width - width), reference.y + HalfOfRounded(reference.height - height)};
  p.x = std::max(std::min(p.x, work.x + work.width - width), work.x);
  p.y = std::max(std::min(p.y, work.y + work.height - height), work.y);
  return p;
}

std::int32_t CheckedColor(std::int32_t color) {
  if (color == -1) return -1;
  const std::uint32_t kind = static_cast<std::uint32_t>(color) >> 24;
  return kind == 0 || kind == 1 ? color : -1;
}

bool IsSystemColor(std::int32_t color) { return CheckedColor(color) != -1 && (static_cast<std::uint32_t>(color) >> 24) == 1; }

std::int32_t FontHeight(int dpi, double points) {
  return -static_cast<std::int32_t>(std::trunc(std::nearbyint(dpi * points) / 72.0));
}

std::int32_t DialogFontHeight(int dpi, int points) {
  const std::int64_t product = static_cast<std::int64_t>(dpi) * points;
  const std::int64_t magnitude = ((product < 0 ? -product : product) + 36) / 72;
  return static_cast<std::int32_t>(product < 0 ? magnitude : -magnitude);
}

std::size_t HeapBlockSize(std::size_t size) { return size == 0 ? 0 : std::max<std::size_t>(size + 1, 16); }

std::vector<std::uint8_t> TagBlock(std::string_view text) {
  if (text.empty()) return {};
  std::vector<std::uint8_t> block(HeapBlockSize(text.size() + 5), 0);
  const auto length = static_cast<std::uint32_t>(text.size());
  for (int k = 0; k < 4; ++k) block[k] = static_cast<std::uint8_t>(length >> (8 * k));
  std::copy(text.begin(), text.end(), block.begin() + 4);
  return block;
}

}  // namespace rostrel
