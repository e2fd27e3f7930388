// SPDX-License-Identifier: MIT
#include "ensemble/gnuplot_render.h"

#include <cstdint>

#include "fileio/regular_file.h"

namespace {

// gnuplot's log is read for its last line.
constexpr size_t kMostLogBytes = 1 << 20;

// Control characters would end a line of the script or of a message.
std::string one_line(const std::string& text) {
  std::string out;
  for (char c : text)
    out += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? ' ' : c;
  return out;
}

std::string last_line(const std::string& text) {
  size_t end = text.find_last_not_of(" \t\r\n");
  if (end == std::string::npos)
    return "";
  size_t begin = text.rfind('\n', end);
  begin = begin == std::string::npos ? 0 : begin + 1;
  return one_line(text.substr(begin, end + 1 - begin));
}

// A file gnuplot wrote in the set's folder, as far as it goes: "" when it cannot be read, which
// reads as no reason in its log and as no signature in its image. The caps are far above both:
// the plot's pixels uncompressed, twice over, for an image.
std::string written_by_gnuplot(const std::string& path, size_t most_bytes) {
  std::string text, reason;
  return read_regular_head(path, most_bytes, &text, &reason) ? text : "";
}

// Runs gnuplot on the script in the set's folder and waits for it or for a stop signal, which
// ends it. gnuplot tells its errors on stderr, kept in a log there.
bool run_gnuplot(FileSet* set, Workers* children, const std::string& script, std::string* error) {
  const std::string log = set->folder() + "/gnuplot.log";
  if (!children->start({"gnuplot", script}, 0, error, {set->folder(), log}))
    return false;
  std::vector<Workers::End> ends;
  while (ends.empty())
    if (const int sig = children->wait(1000, &ends)) {
      children->stop_all();
      *error = "gnuplot stopped by signal " + std::to_string(sig);
      return false;
    }
  if (ends[0].ok)
    return true;
  *error = "gnuplot failed with " + ends[0].why;
  const std::string why = last_line(written_by_gnuplot(log, kMostLogBytes));
  if (!why.empty())
    *error += ": " + why;
  return false;
}

uint32_t big_endian(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  for (size_t i = at; i < at + 4; ++i)
    v = v << 8 | static_cast<unsigned char>(bytes[i]);
  return v;
}

// CRC-32 of PNG chunks (ISO 3309), bit by bit: a plot's few hundred kilobytes take no time.
uint32_t crc32(const std::string& bytes, size_t at, size_t length) {
  uint32_t crc = 0xffffffffu;
  for (size_t i = at; i < at + length; ++i) {
    crc ^= static_cast<unsigned char>(bytes[i]);
    for (int k = 0; k < 8; ++k)
      crc = crc & 1 ? 0xedb88320u ^ (crc >> 1) : crc >> 1;
  }
  return ~crc;
}

bool wrong(const std::string& what, std::string* fault) {
  *fault = what;
  return false;
}

// True when `png` is the whole image the script asks for; false with what is wrong in *fault.
// gnuplot exits 0 when a full disk cuts its output short, so every chunk is walked to the end
// chunk, its CRC checked.
bool png_is_whole(const std::string& png, int width, int height, std::string* fault) {
  static const char kSignature[] = "\x89PNG\r\n\x1a\n";
  if (png.compare(0, 8, kSignature, 8) != 0)
    return wrong("no PNG signature", fault);
  for (size_t at = 8; at + 12 <= png.size();) {
    const uint32_t length = big_endian(png, at);
    const std::string type = png.substr(at + 4, 4);
    if (length > png.size() - at - 12)
      break;
    if (crc32(png, at + 4, length + 4) != big_endian(png, at + 8 + length))
      return wrong("bad CRC in chunk " + one_line(type) + " at byte " + std::to_string(at), fault);
    if (at == 8 && (type != "IHDR" || length != 13 ||
                    big_endian(png, at + 8) != static_cast<uint32_t>(width) ||
                    big_endian(png, at + 12) != static_cast<uint32_t>(height)))
      return wrong("not a " + std::to_string(width) + " x " + std::to_string(height) + " image",
                   fault);
    at += 12 + length;
    if (type == "IEND")
      return at == png.size() || wrong("bytes after the end chunk", fault);
  }
  return wrong("cut short at " + std::to_string(png.size()) + " bytes, before the end chunk",
               fault);
}

} // namespace

std::string gnuplot_quoted(const std::string& text) {
  std::string out = "'";
  for (char c : one_line(text))
    out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

bool render_with_gnuplot(FileSet* set, Workers* children, const std::string& script,
                         const std::string& png, int width, int height, std::string* error) {
  if (!set->close_all(error) || !run_gnuplot(set, children, script, error))
    return false;
  std::string fault;
  const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (png_is_whole(written_by_gnuplot(set->folder() + "/" + png, 2 * 4 * pixels), width, height,
                   &fault))
    return true;
  *error = "gnuplot wrote no whole " + png + ": " + fault;
  return false;
}
