// Draws the program's icon, 32 by 32 pixels in the 16 standard colours, and writes it as
// an icon file, or as an SVG of the same pixels (each run of one colour in a row is one
// rectangle, so it scales without blurring). Not part of the build: make_icon.sh runs it
// when the drawing changes.
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kSize = 32;
constexpr int kClear = -1;
enum Colour {
  Black = 0,
  Olive = 3,
  Navy = 4,
  Silver = 7,
  Grey = 8,
  Red = 9,
  Yellow = 11,
  Blue = 12,
  White = 15
};

constexpr std::array<std::uint32_t, 16> kPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

using Picture = std::array<std::array<int, kSize>, kSize>;  // [y][x], y down

void Box(Picture& p, int x0, int y0, int x1, int y1, int fill, int edge) {
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      p[y][x] = (x == x0 || x == x1 || y == y0 || y == y1) ? edge : fill;
    }
  }
}

// A sheet with a red ribbon stands in an open yellow folder; two arrows on the folder
// say that links travel both ways.
Picture Draw() {
  Picture p;
  for (auto& row : p) row.fill(kClear);
  Box(p, 3, 6, 13, 10, Yellow, Olive);  // the folder's tab
  Box(p, 11, 1, 27, 20, White, Grey);   // the sheet
  for (int y = 4; y <= 16; y += 3) {
    for (int x = 13; x <= 21; ++x) p[y][x] = Silver;
  }
  for (int y = 1; y <= 11; ++y) {  // the ribbon, notched at its end
    for (int x = 22; x <= 25; ++x) p[y][x] = Red;
  }
  p[11][23] = p[11][24] = p[10][23] = p[10][24] = White;
  Box(p, 1, 12, 30, 29, Yellow, Olive);                      // the folder's front
  for (int x = 6; x <= 24; ++x) p[17][x] = p[18][x] = Navy;  // arrow to the right
  for (int d = 0; d <= 3; ++d) {
    for (int y = 17 - d; y <= 18 + d; ++y) p[y][25 - d] = Navy;
  }
  for (int x = 7; x <= 25; ++x) p[24][x] = p[25][x] = Blue;  // arrow to the left
  for (int d = 0; d <= 3; ++d) {
    for (int y = 24 - d; y <= 25 + d; ++y) p[y][6 + d] = Blue;
  }
  for (int x = 0; x < kSize; ++x) p[kSize - 1][x] = p[kSize - 1][x] == kClear ? kClear : Black;
  return p;
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

std::vector<std::uint8_t> IconFile(const Picture& p) {
  constexpr std::uint32_t kXorBytes = kSize * kSize / 2;
  constexpr std::uint32_t kAndBytes = kSize * kSize / 8;
  constexpr std::uint32_t kImageBytes = 40 + 16 * 4 + kXorBytes + kAndBytes;
  std::vector<std::uint8_t> out;
  Put16(out, 0), Put16(out, 1), Put16(out, 1);  // icon directory with one image
  out.insert(out.end(), {kSize, kSize, 16, 0});
  Put16(out, 1), Put16(out, 4), Put32(out, kImageBytes), Put32(out, 22);
  Put32(out, 40), Put32(out, kSize), Put32(out, kSize * 2);  // colour and mask stacked
  Put16(out, 1), Put16(out, 4), Put32(out, 0), Put32(out, kXorBytes + kAndBytes);
  Put32(out, 0), Put32(out, 0), Put32(out, 16), Put32(out, 0);
  for (std::uint32_t rgb : kPalette) {
    out.insert(out.end(), {static_cast<std::uint8_t>(rgb), static_cast<std::uint8_t>(rgb >> 8),
                           static_cast<std::uint8_t>(rgb >> 16), 0});
  }
  for (int y = kSize - 1; y >= 0; --y) {  // rows bottom up
    for (int x = 0; x < kSize; x += 2) {
      int left = p[y][x] == kClear ? 0 : p[y][x];
      int right = p[y][x + 1] == kClear ? 0 : p[y][x + 1];
      out.push_back(static_cast<std::uint8_t>(left << 4 | right));
    }
  }
  for (int y = kSize - 1; y >= 0; --y) {
    for (int x = 0; x < kSize; x += 8) {
      std::uint8_t bits = 0;
      for (int b = 0; b < 8; ++b) bits |= (p[y][x + b] == kClear ? 1 : 0) << (7 - b);
      out.push_back(bits);
    }
  }
  return out;
}

std::vector<std::uint8_t> SvgFile(const Picture& p) {
  std::string svg =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" "
      "viewBox=\"0 0 32 32\" shape-rendering=\"crispEdges\">\n";
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize;) {
      const int colour = p[y][x];
      int end = x + 1;
      while (end < kSize && p[y][end] == colour) ++end;
      if (colour != kClear) {
        char rect[96];
        std::snprintf(rect, sizeof rect,
                      "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"1\" fill=\"#%06X\"/>\n", x, y,
                      end - x, static_cast<unsigned>(kPalette[static_cast<std::size_t>(colour)]));
        svg += rect;
      }
      x = end;
    }
  }
  svg += "</svg>\n";
  return std::vector<std::uint8_t>(svg.begin(), svg.end());
}

}  // namespace

int main(int argc, char** argv) {
  const bool svg = argc == 3 && std::string_view(argv[1]) == "--svg";
  if (argc != 2 && !svg) {
    std::fprintf(stderr, "usage: %s [--svg] OUTPUT\n", argv[0]);
    return 2;
  }
  std::vector<std::uint8_t> icon = svg ? SvgFile(Draw()) : IconFile(Draw());
  std::FILE* file = std::fopen(argv[argc - 1], "wb");
  if (!file) return 1;
  bool written = std::fwrite(icon.data(), 1, icon.size(), file) == icon.size();
  return std::fclose(file) == 0 && written ? 0 : 1;
}
