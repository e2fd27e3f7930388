// SPDX-License-Identifier: MIT
#pragma once

// Packed RGB images: 3 bytes per pixel (red, green, blue), rows top first, no padding, width and
// height carried beside the bytes. This is what fl_read_image(nullptr, ..., 0) hands back.

// Reads one pixel; a null image or a position outside it leaves *r, *g, *b as they were.
void RawReadPixel(const unsigned char* image, int x, int y, int width, int height, unsigned char* r,
                  unsigned char* g, unsigned char* b);

// Writes one pixel; a null image or a position outside it is ignored.
void RawWritePixel(unsigned char* image, int x, int y, int width, int height, unsigned char r,
                   unsigned char g, unsigned char b);

// Folds `layer` onto `base` into a new malloc'ed image of the base's size (release with free).
// A pixel in the key colour is transparent on either side; elsewhere the two colours mix as
// fl_color_average(layer, base, factor) does. Layer pixels beyond the layer's size read as black.
// Returns null when the buffer cannot be allocated; with a null input the buffer comes back
// unfilled and must not be shown.
unsigned char* ImageCombine(double factor, const unsigned char* base, int base_width,
                            int base_height, const unsigned char* layer, int layer_width,
                            int layer_height, unsigned char key_r, unsigned char key_g,
                            unsigned char key_b);
