// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

// A pixel buffer to be written; the record does not own `pixels`.
struct _RGBBitmap {
  unsigned char* pixels;   // first byte of the top row
  uint64_t width;          // pixels per row
  uint64_t height;         // rows
  uint64_t bytewidth;      // bytes from one row's start to the next in `pixels`
  uint8_t bytes_per_pixel; // 3 (RGB) or 4 (RGBA)
};

// Writes an 8-bit RGB (RGBA for 4 bytes per pixel) PNG. False on any failure, after which nothing
// new is left under that name (see write_whole_file), with the reason alone in *reason when given.
bool save_png_to_file(_RGBBitmap* bitmap, const char* path, std::string* reason = nullptr);

// The record of a tightly packed buffer: rows of width * bytes_per_pixel bytes.
_RGBBitmap packed_bitmap(unsigned char* pixels, int width, int height, int bytes_per_pixel);

// Wraps a tightly packed buffer and writes it. Returns 0 when written, -1 on any failure: the
// writer's long-standing contract, the one kept in the program beside true or false.
int SavePNGToFile(const char* filename, unsigned char* pixels, int width, int height,
                  int bytes_per_pixel);
