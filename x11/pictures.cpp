// The BMP and ICO files are linked in byte for byte (.incbin), so a change
// to the pictures reaches both programs with no converted copy to go stale.
// Both formats store rows bottom-up.
#include "x11/pictures.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#define KC_EMBED(symbol, file)                                                 \
  asm(".section .rodata\n.global " #symbol "\n.balign 4\n" #symbol             \
      ":\n.incbin \"" KC_RESOURCES_DIR "/" file "\"\n.global " #symbol         \
      "_end\n" #symbol "_end:\n.previous\n")

KC_EMBED(kc_background_bmp, "background.bmp");
KC_EMBED(kc_keychecker_ico, "keychecker.ico");

extern "C" const unsigned char kc_background_bmp[], kc_background_bmp_end[];
extern "C" const unsigned char kc_keychecker_ico[], kc_keychecker_ico_end[];

namespace {

uint32_t le32(const unsigned char *p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t le16(const unsigned char *p) { return p[0] | p[1] << 8; }

// Places a colour channel (0..255) under a visual's mask.
unsigned long channel(unsigned value, unsigned long mask) {
  int shift = 0, bits = 0;
  while (mask != 0 && !(mask >> shift & 1))
    ++shift;
  while (mask >> (shift + bits) & 1)
    ++bits;
  return static_cast<unsigned long>(value >> (8 - bits)) << shift;
}

} // namespace

Pixmap createBackgroundTile(Display *display, Window window) {
  const int screen = DefaultScreen(display);
  Visual *visual = DefaultVisual(display, screen);
  const size_t size = kc_background_bmp_end - kc_background_bmp;
  const unsigned char *bmp = kc_background_bmp;
  if (visual->c_class != TrueColor || size < 54 || le16(bmp + 28) != 24)
    return None;
  const int width = static_cast<int>(le32(bmp + 18));
  const int height = static_cast<int>(le32(bmp + 22));
  const unsigned char *pixels = bmp + le32(bmp + 10);
  const size_t rowBytes = (width * 3 + 3) & ~3u;
  if (pixels + rowBytes * height > kc_background_bmp_end)
    return None;
  const int depth = DefaultDepth(display, screen);
  XImage *image = XCreateImage(display, visual, depth, ZPixmap, 0, nullptr,
                               width, height, 32, 0);
  image->data = static_cast<char *>(calloc(image->bytes_per_line, height));
  for (int y = 0; y < height; ++y) {
    const unsigned char *row = pixels + rowBytes * (height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const unsigned char *bgr = row + 3 * x;
      XPutPixel(image, x, y,
                channel(bgr[2], visual->red_mask) |
                    channel(bgr[1], visual->green_mask) |
                    channel(bgr[0], visual->blue_mask));
    }
  }
  Pixmap tile = XCreatePixmap(display, window, width, height, depth);
  GC gc = XCreateGC(display, tile, 0, nullptr);
  XPutImage(display, tile, gc, image, 0, 0, 0, 0, width, height);
  XFreeGC(display, gc);
  XDestroyImage(image); // frees the pixels too
  return tile;
}

void setWindowIcon(Display *display, Window window) {
  const unsigned char *ico = kc_keychecker_ico;
  const size_t size = kc_keychecker_ico_end - kc_keychecker_ico;
  if (size < 6)
    return;
  // _NET_WM_ICON: width, height, then ARGB pixels top-down, per image; a
  // format-32 property is an array of longs, whatever a long's size.
  std::vector<unsigned long> data;
  const int count = le16(ico + 4);
  for (int i = 0; i < count && 6 + 16 * (i + 1) <= static_cast<int>(size);
       ++i) {
    const unsigned char *entry = ico + 6 + 16 * i;
    const uint32_t offset = le32(entry + 12);
    if (le16(entry + 6) != 32 || offset + 40 > size)
      continue;
    const unsigned char *info = ico + offset;
    const uint32_t side = le32(info + 4);
    if (side == 0 || side > 256 || offset + le32(info) + side * side * 4 > size)
      continue;
    const unsigned char *bgra = info + le32(info);
    data.push_back(side);
    data.push_back(side);
    for (uint32_t y = 0; y < side; ++y)
      for (uint32_t x = 0; x < side; ++x) {
        const unsigned char *p = bgra + 4 * ((side - 1 - y) * side + x);
        data.push_back(static_cast<unsigned long>(p[3]) << 24 | p[2] << 16 |
                       p[1] << 8 | p[0]);
      }
  }
  if (data.empty())
    return;
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False),
                  XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char *>(data.data()),
                  static_cast<int>(data.size()));
}
