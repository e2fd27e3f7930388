// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <memory>

// A picture that the display server reads straight out of memory it shares with us, so nothing
// is copied through the connection. Its pixels are 0x00RRGGBB.
class SharedImage {
public:
  virtual ~SharedImage() = default;
  virtual uint32_t* pixels() = 0;
  virtual int width() const = 0;
  virtual int height() const = 0;
  // Waits until the server has read the last picture out of the shared memory.
  virtual void sync() = 0;
  // Puts the top-left w x h of the picture at the origin of the current drawable.
  virtual void put(int w, int h) = 0;
};

// Null where the display cannot share memory with us (a remote display, another visual, or a
// build without the X11 shared-memory extension).
std::unique_ptr<SharedImage> make_shared_image(int w, int h);
