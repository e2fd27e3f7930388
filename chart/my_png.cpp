// SPDX-License-Identifier: MIT
#include "chart/my_png.h"

#include <png.h>

#include "fileio/whole_file.h"

#include <cstdio>
#include <cstring>

namespace {

// Everything that must be released whatever way the write ends. It lives in the caller's frame,
// so libpng's longjmp cannot leave any of it stale.
struct PngJob {
  png_structp png = nullptr;
  png_infop info = nullptr;
  png_bytepp rows = nullptr;
  png_uint_32 row_count = 0;
};

constexpr uint64_t kMaxSide = 0x7fffffff;

bool acceptable(const _RGBBitmap* bitmap) {
  if (!bitmap || !bitmap->pixels)
    return false;
  if (bitmap->bytes_per_pixel != 3 && bitmap->bytes_per_pixel != 4)
    return false;
  return bitmap->width <= kMaxSide && bitmap->height <= kMaxSide;
}

void release_rows(PngJob* job) {
  if (!job->rows)
    return;
  for (png_uint_32 y = 0; y < job->row_count; ++y)
    png_free(job->png, job->rows[y]);
  png_free(job->png, job->rows);
  job->rows = nullptr;
}

// The row table starts zeroed so that a failure halfway through its filling frees only the rows
// that were taken.
void copy_rows(PngJob* job, const _RGBBitmap* bitmap) {
  const size_t row_bytes = bitmap->bytes_per_pixel * static_cast<size_t>(bitmap->width);
  job->row_count = static_cast<png_uint_32>(bitmap->height);
  job->rows = static_cast<png_bytepp>(png_calloc(job->png, job->row_count * sizeof(png_bytep)));
  for (png_uint_32 y = 0; y < job->row_count; ++y) {
    job->rows[y] = static_cast<png_bytep>(png_malloc(job->png, row_bytes));
    memcpy(job->rows[y], bitmap->pixels + bitmap->bytewidth * y, row_bytes);
  }
}

// libpng reports errors by jumping back into this frame; it keeps nothing of its own. False when
// libpng gave up.
bool write_image(PngJob* job, const _RGBBitmap* bitmap, FILE* file) {
  if (setjmp(png_jmpbuf(job->png)))
    return false;
  const int colour = bitmap->bytes_per_pixel == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
  png_set_IHDR(job->png, job->info, static_cast<png_uint_32>(bitmap->width),
               static_cast<png_uint_32>(bitmap->height), 8, colour, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  copy_rows(job, bitmap);
  png_init_io(job->png, file);
  png_set_rows(job->png, job->info, job->rows);
  png_write_png(job->png, job->info, PNG_TRANSFORM_IDENTITY, nullptr);
  return true;
}

// The PNG goes to the stream in one piece; false when libpng gave up, whatever the reason.
bool encode_png(const _RGBBitmap* bitmap, FILE* file) {
  PngJob job;
  job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!job.png)
    return false;
  job.info = png_create_info_struct(job.png);
  if (!job.info) {
    png_destroy_write_struct(&job.png, nullptr);
    return false;
  }
  const bool written = write_image(&job, bitmap, file);
  release_rows(&job);
  png_destroy_write_struct(&job.png, &job.info);
  return written;
}

} // namespace

bool save_png_to_file(_RGBBitmap* bitmap, const char* path, std::string* reason) {
  std::string why;
  if (!path || !acceptable(bitmap))
    why = "The picture has no pixels or an unknown layout.";
  else if (write_whole_file(
               path, [&](FILE* file) { return encode_png(bitmap, file); }, &why))
    return true;
  if (reason)
    *reason = why;
  return false;
}

_RGBBitmap packed_bitmap(unsigned char* pixels, int width, int height, int bytes_per_pixel) {
  _RGBBitmap bitmap;
  bitmap.pixels = pixels;
  bitmap.width = static_cast<uint64_t>(width);
  bitmap.height = static_cast<uint64_t>(height);
  bitmap.bytewidth = static_cast<uint64_t>(bytes_per_pixel) * bitmap.width;
  bitmap.bytes_per_pixel = static_cast<uint8_t>(bytes_per_pixel);
  return bitmap;
}

int SavePNGToFile(const char* filename, unsigned char* pixels, int width, int height,
                  int bytes_per_pixel) {
  _RGBBitmap bitmap = packed_bitmap(pixels, width, height, bytes_per_pixel);
  return save_png_to_file(&bitmap, filename) ? 0 : -1;
}
