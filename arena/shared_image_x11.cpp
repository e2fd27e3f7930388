// SPDX-License-Identifier: MIT
#include <FL/Fl.H>
#include <FL/x.H>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstring>

#include "arena/shared_image.h"

namespace {

// A shared-memory image of the current visual, when that visual is 24-bit true colour stored as
// 32-bit pixels in this host's byte order: then a pixel is simply 0x00RRGGBB.
class XShmImage : public SharedImage {
public:
  XShmSegmentInfo info{};
  XImage* image = nullptr;

  ~XShmImage() override {
    if (!image)
      return;
    XShmDetach(fl_display, &info);
    XSync(fl_display, False);
    shmdt(info.shmaddr);
    image->data = nullptr;
    XDestroyImage(image);
  }
  uint32_t* pixels() override { return reinterpret_cast<uint32_t*>(image->data); }
  int width() const override { return image->width; }
  int height() const override { return image->height; }
  void sync() override { XSync(fl_display, False); }
  void put(int w, int h) override {
    XShmPutImage(fl_display, fl_window, fl_gc, image, 0, 0, 0, 0, w, h, False);
  }
};

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

} // namespace

// A remote server may claim the extension and still refuse the segment, which only its error
// reply tells.
std::unique_ptr<SharedImage> make_shared_image(int w, int h) {
  if (!fl_display || !fl_visual || !XShmQueryExtension(fl_display))
    return nullptr;
  auto shared = std::make_unique<XShmImage>();
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
