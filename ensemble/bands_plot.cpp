// The plot is drawn by gnuplot from a data file and a script left beside it in DIR, so that a
// reader can restyle it and render it again with "gnuplot bands.gp" in that folder.
//
// No shell ever sees DIR: gnuplot is started with fork and exec, in DIR as its working directory,
// and the script names its files relative to it. A DIR holding spaces, quotes or ';' is therefore
// just a folder name.
#include "ensemble/bands_plot.h"

#include <fcntl.h>
#include <linux/close_range.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

#include "fileio/atomic_file.h"

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1200;

// An ended run has no immune count, so immune's late bands stand on fewer runs than the others'.
const char* const kPanelTitles[kSummarySeries] = {"Infected", "New cases", "Newly quarantined",
                                                  "Immune (late days: runs still going only)",
                                                  "Dead today"};

// Tableau's ten colours: told apart easily, also by most colour-blind readers.
const char* const kColours[] = {"#1f77b4", "#ff7f0e", "#2ca02c", "#d62728", "#9467bd",
                                "#8c564b", "#e377c2", "#7f7f7f", "#bcbd22", "#17becf"};
constexpr int kColourCount = sizeof kColours / sizeof kColours[0];

// Control characters would end a line of the script or of a message.
std::string one_line(const std::string& text) {
  std::string out;
  for (char c : text)
    out += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? ' ' : c;
  return out;
}

// A gnuplot single-quoted string: nothing inside is special but the quote, written twice.
std::string quoted(const std::string& text) {
  std::string out = "'";
  for (char c : one_line(text))
    out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

// One block per point (gnuplot's "index"): the day, then each series' five quantiles.
void write_data(std::FILE* out, const std::vector<std::vector<SummaryRow>>& rows) {
  std::fputs("# day, then p5 p25 median p75 p95 of infected, new_cases, newly_quarantined, "
             "immune, dead_today; one block per point\n",
             out);
  for (const std::vector<SummaryRow>& point : rows) {
    std::map<int, std::array<const SummaryRow*, kSummarySeries>> days;
    for (const SummaryRow& r : point)
      if (r.series >= 0 && r.series < kSummarySeries)
        days[r.day][r.series] = &r; // value-initialised: a series without a row stays null
    for (const auto& [day, series] : days) {
      std::fprintf(out, "%d", day);
      for (const SummaryRow* r : series) {
        if (r == nullptr)
          std::fputs(" ? ? ? ? ?", out);
        else
          for (const double v : {r->p5, r->p25, r->median, r->p75, r->p95})
            std::fprintf(out, " %s", number_text(v).c_str());
      }
      std::fputc('\n', out);
    }
    // gnuplot counts an empty block as no block at all, which would shift the later points.
    if (days.empty()) {
      std::fputc('?', out);
      for (int s = 0; s < kSummarySeries; ++s)
        std::fputs(" ? ? ? ? ?", out);
      std::fputc('\n', out);
    }
    std::fputs("\n\n", out);
  }
}

std::string heading(const BandsRuns& runs) {
  const bool one = runs.per_point == 1;
  const std::string seeds =
      one ? "seed " + std::to_string(runs.first_seed)
          : "seeds " + std::to_string(runs.first_seed) + " to " + std::to_string(runs.last_seed);
  return std::to_string(runs.per_point) + (one ? " run" : " runs") + " per point, " + seeds +
         ": median line, 25-75 % and 5-95 % bands";
}

void write_values(std::FILE* out, const BandsRuns& runs, const std::vector<std::string>& labels,
                  size_t points) {
  std::fprintf(out, "heading = %s\n", quoted(heading(runs)).c_str());
  std::fprintf(out, "points = %zu\narray label[%zu] = [", points, points);
  for (size_t p = 0; p < points; ++p) {
    const std::string name =
        p < labels.size() && !labels[p].empty() ? labels[p] : "point " + std::to_string(p);
    std::fprintf(out, "%s%s", p == 0 ? "" : ", ", quoted(name).c_str());
  }
  std::fprintf(out, "]\narray colour[%d] = [", kColourCount);
  for (int c = 0; c < kColourCount; ++c)
    std::fprintf(out, "%s\"%s\"", c == 0 ? "" : ", ", kColours[c]);
  std::fprintf(out, "]\narray panel[%d] = [", kSummarySeries);
  for (int s = 0; s < kSummarySeries; ++s)
    std::fprintf(out, "%s\"%s\"", s == 0 ? "" : ", ", kPanelTitles[s]);
  std::fputs("]\n", out);
}

// Five panels in a 3 x 2 grid; the sixth cell holds the legend, so that no panel's curves hide
// behind it. The bands are translucent: the points' ranges overlap, and both must stay visible.
// Past ten points the colours come round again, with another dash pattern for the median.
const char kScriptBody[] = R"(hue(p) = colour[p % |colour| + 1]
dash(p) = (p / |colour|) % 5 + 1
if (!exists("out")) out = "bands.png"
if (strstrt(GPVAL_TERMINALS, "pngcairo") > 0) {
  set terminal pngcairo size WIDTH,HEIGHT noenhanced font "sans,12"
} else {
  set terminal png truecolor size WIDTH,HEIGHT noenhanced
}
set output out
set datafile missing "?"
set multiplot layout 3,2 title heading font ",16"
set grid
set key off
set xlabel "day"
set ylabel "persons"
# Counts are never negative: a series that stays 0 lies on the floor, not in the middle.
set yrange [0:*]
set autoscale xfix
set style fill transparent solid 0.15 noborder
do for [s=0:4] {
  set title panel[s + 1] font ",14"
  c = 2 + 5 * s
  plot for [p=0:points-1] 'bands.dat' index p using 1:(column(c)):(column(c+4)) \
         with filledcurves fs transparent solid 0.15 noborder lc rgb hue(p), \
       for [p=0:points-1] 'bands.dat' index p using 1:(column(c+1)):(column(c+3)) \
         with filledcurves fs transparent solid 0.3 noborder lc rgb hue(p), \
       for [p=0:points-1] 'bands.dat' index p using 1:(column(c+2)) \
         with lines lw 2 lc rgb hue(p) dt dash(p)
}
unset title
unset border
unset tics
unset grid
unset xlabel
unset ylabel
set xrange [0:1]
set yrange [0:1]
set key center center vertical Left reverse samplen 5 spacing 1.3 font ",12"
# Curves drawn outside the visible range: only their key entries show.
plot 2 with lines lw 2 lc rgb "gray30" title "median", \
     2 with filledcurves y1=3 fs transparent solid 0.4 noborder lc rgb "gray30" \
       title "25-75 % of runs", \
     2 with filledcurves y1=3 fs transparent solid 0.15 noborder lc rgb "gray30" \
       title "5-95 % of runs", \
     for [p=0:points-1] 2 with lines lw 3 lc rgb hue(p) dt dash(p) title label[p + 1]
unset multiplot
unset output
)";

std::string script_body() {
  std::string body = kScriptBody;
  const std::pair<std::string, std::string> fills[] = {{"WIDTH", std::to_string(kWidth)},
                                                       {"HEIGHT", std::to_string(kHeight)}};
  for (const auto& [key, value] : fills)
    for (size_t at = body.find(key); at != std::string::npos; at = body.find(key, at))
      body.replace(at, key.size(), value);
  return body;
}

void write_script(std::FILE* out, const BandsRuns& runs, const std::vector<std::string>& labels,
                  size_t points) {
  std::fputs("# Renders bands.png from bands.dat: run \"gnuplot bands.gp\" in this folder.\n", out);
  write_values(out, runs, labels, points);
  std::fputs(script_body().c_str(), out);
}

template <typename Writer> bool write_file(const std::string& path, Writer write, std::string* e) {
  AtomicFile file(path);
  if (!file.open(e))
    return false;
  write(file.stream());
  return file.commit(e);
}

bool read_all(int fd, std::string* text) {
  char buf[4096];
  while (true) {
    const ssize_t got = read(fd, buf, sizeof buf);
    if (got == 0)
      return true;
    if (got < 0 && errno != EINTR)
      return false;
    if (got > 0)
      text->append(buf, static_cast<size_t>(got));
  }
}

std::string last_line(const std::string& text) {
  size_t end = text.find_last_not_of(" \t\r\n");
  if (end == std::string::npos)
    return "";
  size_t begin = text.rfind('\n', end);
  begin = begin == std::string::npos ? 0 : begin + 1;
  return one_line(text.substr(begin, end + 1 - begin));
}

// In the child: only async-signal-safe calls between fork and exec. A failure before exec is
// sent back as its errno through a pipe that exec closes.
[[noreturn]] void exec_gnuplot(const std::string& dir, char* const argv[], int null_fd, int err_fd,
                               int status_fd) {
  // Whatever else the caller holds open (its output files, its workers' pipes) stays out of
  // gnuplot, so that nothing waits on a descriptor gnuplot keeps.
  close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
  int failed = 0;
  if (dup2(null_fd, 0) < 0 || dup2(null_fd, 1) < 0 || dup2(err_fd, 2) < 0 ||
      chdir(dir.c_str()) != 0)
    failed = errno;
  else
    execvp(argv[0], argv);
  if (failed == 0)
    failed = errno;
  ssize_t ignored = write(status_fd, &failed, sizeof failed);
  (void)ignored;
  _exit(127);
}

struct Pipe {
  int fd[2] = {-1, -1};
  bool open() { return pipe2(fd, O_CLOEXEC) == 0; }
  void close_end(int i) {
    if (fd[i] >= 0)
      close(fd[i]);
    fd[i] = -1;
  }
  ~Pipe() {
    close_end(0);
    close_end(1);
  }
};

// Runs gnuplot on bands.gp in DIR with its output named `out`; its stderr is kept for the reason.
bool run_gnuplot(const std::string& dir, const std::string& out, std::string* error) {
  const std::string assign = "out='" + out + "'";
  const char* argv[] = {"gnuplot", "-e", assign.c_str(), "bands.gp", nullptr};
  Pipe status, err;
  const int null_fd = ::open("/dev/null", O_RDWR | O_CLOEXEC);
  if (null_fd < 0 || !status.open() || !err.open()) {
    *error = std::string("cannot run gnuplot: ") + std::strerror(errno);
    if (null_fd >= 0)
      close(null_fd);
    return false;
  }
  const pid_t pid = fork();
  if (pid == 0)
    exec_gnuplot(dir, const_cast<char* const*>(argv), null_fd, err.fd[1], status.fd[1]);
  const int fork_err = errno;
  close(null_fd);
  status.close_end(1);
  err.close_end(1);
  if (pid < 0) {
    *error = std::string("cannot run gnuplot: ") + std::strerror(fork_err);
    return false;
  }
  std::string exec_report, messages;
  read_all(status.fd[0], &exec_report);
  read_all(err.fd[0], &messages);
  int wstatus = 0;
  while (waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {
  }
  if (exec_report.size() == sizeof(int)) {
    int child_err = 0;
    std::memcpy(&child_err, exec_report.data(), sizeof child_err);
    *error = std::string("cannot run gnuplot: ") + std::strerror(child_err);
    return false;
  }
  if (WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == 0)
    return true;
  *error = WIFSIGNALED(wstatus)
               ? "gnuplot was killed by signal " + std::to_string(WTERMSIG(wstatus))
               : "gnuplot failed with exit status " + std::to_string(WEXITSTATUS(wstatus));
  const std::string why = last_line(messages);
  if (!why.empty())
    *error += ": " + why;
  return false;
}

bool is_png(const std::string& path) {
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  unsigned char head[8] = {};
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr)
    return false;
  const size_t got = std::fread(head, 1, sizeof head, f);
  std::fclose(f);
  return got == sizeof head && std::memcmp(head, kSignature, sizeof head) == 0;
}

// gnuplot writes under a fresh temporary name; only a whole PNG is renamed to bands.png.
bool render(const std::string& dir, std::string* error) {
  std::string temp = dir + "/bands.png.tmp.XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    *error = write_error(dir + "/bands.png", errno);
    return false;
  }
  close(fd);
  const std::string name = temp.substr(dir.size() + 1);
  bool ok = run_gnuplot(dir, name, error);
  if (ok && !is_png(temp)) {
    *error = "gnuplot wrote no PNG image";
    ok = false;
  }
  if (ok && std::rename(temp.c_str(), (dir + "/bands.png").c_str()) != 0) {
    *error = write_error(dir + "/bands.png", errno);
    ok = false;
  }
  if (!ok)
    std::remove(temp.c_str());
  return ok;
}

} // namespace

bool write_bands_plot(const std::string& dir, const BandsRuns& runs,
                      const std::vector<std::string>& labels,
                      const std::vector<std::vector<SummaryRow>>& rows, std::string* error) {
  std::string ignored;
  std::string* e = error != nullptr ? error : &ignored;
  if (rows.empty()) {
    *e = "no points to plot";
    return false;
  }
  const bool written =
      write_file(
          dir + "/bands.dat", [&](std::FILE* f) { write_data(f, rows); }, e) &&
      write_file(
          dir + "/bands.gp", [&](std::FILE* f) { write_script(f, runs, labels, rows.size()); }, e);
  return written && render(dir, e);
}
