#include "sim/arena_painter.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstring>

bool arena_shared_memory = true;

// A shared-memory image of the current visual, when that visual is 24-bit true colour stored as
// 32-bit pixels in this host's byte order: then a pixel is simply 0x00RRGGBB.
struct ArenaPainter::SharedImage {
  XShmSegmentInfo info{};
  XImage* image = nullptr;

  ~SharedImage() {
    if (!image)
      return;
    XShmDetach(fl_display, &info);
    XSync(fl_display, False);
    shmdt(info.shmaddr);
    image->data = nullptr;
    XDestroyImage(image);
  }
};

namespace {

bool attach_failed = false;
int note_attach_failure(Display*, XErrorEvent*) {
  attach_failed = true;
  return 0;
}

bool host_is_lsb_first() {
  const uint32_t one = 1;
  unsigned char first;
  std::memcpy(&first, &one, 1);
  return first == 1;
}

bool plain_true_colour(const XImage* image, int w) {
  return image->bits_per_pixel == 32 && image->bytes_per_line == w * 4 &&
         image->red_mask == 0xFF0000 && image->green_mask == 0xFF00 && image->blue_mask == 0xFF &&
         image->byte_order == (host_is_lsb_first() ? LSBFirst : MSBFirst);
}

// Null where the display cannot share memory with us; a remote server may claim the extension
// and still refuse the segment, which only its error reply tells.
std::unique_ptr<ArenaPainter::SharedImage> make_shared_image(int w, int h) {
  if (!fl_display || !fl_visual || !XShmQueryExtension(fl_display))
    return nullptr;
  auto shared = std::make_unique<ArenaPainter::SharedImage>();
  XImage* image = XShmCreateImage(fl_display, fl_visual->visual, fl_visual->depth, ZPixmap, nullptr,
                                  &shared->info, w, h);
  if (!image)
    return nullptr;
  if (!plain_true_colour(image, w)) {
    XDestroyImage(image);
    return nullptr;
  }
  shared->info.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(w) * h * 4, IPC_CREAT | 0600);
  void* at =
      shared->info.shmid < 0 ? reinterpret_cast<void*>(-1) : shmat(shared->info.shmid, nullptr, 0);
  if (at == reinterpret_cast<void*>(-1)) {
    if (shared->info.shmid >= 0)
      shmctl(shared->info.shmid, IPC_RMID, nullptr);
    XDestroyImage(image);
    return nullptr;
  }
  shared->info.shmaddr = image->data = static_cast<char*>(at);
  shared->info.readOnly = False;
  XSync(fl_display, False);
  attach_failed = false;
  XErrorHandler previous = XSetErrorHandler(note_attach_failure);
  XShmAttach(fl_display, &shared->info);
  XSync(fl_display, False);
  XSetErrorHandler(previous);
  shmctl(shared->info.shmid, IPC_RMID, nullptr); // gone once both sides detach
  if (attach_failed) {
    shmdt(at);
    image->data = nullptr;
    XDestroyImage(image);
    return nullptr;
  }
  shared->image = image;
  return shared;
}

} // namespace

ArenaPainter::ArenaPainter() = default;
ArenaPainter::~ArenaPainter() = default;

// 0x00RRGGBB for the shared image; otherwise the bytes red, green, blue, pad in memory, which
// fl_draw_image reads with four bytes a pixel.
uint32_t ArenaPainter::encode(Fl_Color c) const {
  unsigned char rgb[4] = {0, 0, 0, 0};
  Fl::get_color(c, rgb[0], rgb[1], rgb[2]);
  if (shared_)
    return static_cast<uint32_t>(rgb[0]) << 16 | static_cast<uint32_t>(rgb[1]) << 8 | rgb[2];
  uint32_t v;
  std::memcpy(&v, rgb, 4);
  return v;
}

uint32_t* ArenaPainter::prepare(int w, int h) {
  const bool same_size = shared_ && shared_->image->width == w && shared_->image->height == h;
  if (shared_ && (!same_size || !arena_shared_memory))
    shared_.reset();
  if (!shared_ && arena_shared_memory && !shared_refused_ && w > 0 && h > 0) {
    shared_ = make_shared_image(w, h);
    shared_refused_ = !shared_;
  }
  if (shared_) {
    // The server may still be reading the last picture out of the shared memory.
    XSync(fl_display, False);
    return reinterpret_cast<uint32_t*>(shared_->image->data);
  }
  pixels_.resize(static_cast<size_t>(w) * h);
  return pixels_.data();
}

ArenaCanvas* ArenaPainter::begin(int w, int h, Fl_Color window_colour, int box_x, int box_y,
                                 int box_w, int box_h, Fl_Color box_colour) {
  w = std::max(w, 0);
  h = std::max(h, 0);
  canvas_.pixels = prepare(w, h);
  canvas_.width = w;
  canvas_.height = h;
  const Fl_Color palette[kPaintKinds] = {
      fl_rgb_color(80, 80, 80),  fl_darker(FL_YELLOW),     FL_RED,
      fl_rgb_color(0, 150, 255), fl_rgb_color(0, 230, 80), fl_rgb_color(255, 200, 225)};
  for (int k = 0; k < kPaintKinds; ++k)
    canvas_.colour[k] = encode(palette[k]);
  // Run start makes the box cover the window; only a window of another size shows its own
  // colour around the box.
  const int x0 = std::clamp(box_x, 0, w), y0 = std::clamp(box_y, 0, h);
  const int x1 = std::clamp(box_x + box_w, 0, w), y1 = std::clamp(box_y + box_h, 0, h);
  if (x0 > 0 || y0 > 0 || x1 < w || y1 < h)
    std::fill(canvas_.pixels, canvas_.pixels + static_cast<size_t>(w) * h, encode(window_colour));
  const uint32_t box = encode(box_colour);
  for (int y = y0; y < y1; ++y)
    std::fill(canvas_.pixels + static_cast<size_t>(y) * w + x0,
              canvas_.pixels + static_cast<size_t>(y) * w + x1, box);
  return &canvas_;
}

void ArenaPainter::blit() {
  if (canvas_.width <= 0 || canvas_.height <= 0)
    return;
  if (shared_) {
    XShmPutImage(fl_display, fl_window, fl_gc, shared_->image, 0, 0, 0, 0, canvas_.width,
                 canvas_.height, False);
    return;
  }
  fl_draw_image(reinterpret_cast<const uchar*>(canvas_.pixels), 0, 0, canvas_.width, canvas_.height,
                4, 0);
}

void draw_status_band(const char* status, int w) {
  fl_rectf(0, 10, w, 30, FL_BLACK);
  fl_color(FL_WHITE);
  fl_font(0, 8);
  // Symbol sequences such as "@" are not interpreted: the text is printed as it is.
  fl_draw(status, 10, 10, w, 30, FL_ALIGN_LEFT, nullptr, 0);
}
