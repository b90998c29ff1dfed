// Every float through the number editors and the list reader: each of the
// 2^32 bit patterns, or every Nth, against the C library's conversions
// edited by the record rules. `every_float --help` tells the options.

#include <algorithm>
#include <atomic>
#include <bit>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <span>
#include <string_view>
#include <thread>
#include <vector>

#include "recio/formatted_output.hpp"
#include "recio/list_input.hpp"
#include "recio/list_output.hpp"

namespace {

constexpr std::uint64_t pattern_count = std::uint64_t{1} << 32;

// The checks, in the order of the summary.
enum Check { f8_5, f6_4, f5_3, list_item, read_nine, read_shortest, check_count };
constexpr const char* check_name[check_count] = {"F8.5 field",
                                                 "F6.4 field",
                                                 "F5.3 field",
                                                 "list-directed item",
                                                 "reader, nine-digit text",
                                                 "reader, shortest text"};

struct Field {
  Check check;
  int width;
  int decimals;
};
constexpr Field fields[] = {{f8_5, 8, 5}, {f6_4, 6, 4}, {f5_3, 5, 3}};

// Patterns checked whatever the stride: both zeros, the subnormal and
// normal limits, the largest finite floats, the two floats whose shortest
// text reads as their neighbour, infinities, NaNs of both signs and of
// both kinds, exact ties at each field's decimals (odd multiples of
// 2^-(d+1)), negative values that round to zero, and fields that just fit
// or just overflow.
constexpr std::uint32_t named[] = {
    0x00000000, 0x80000000,  // +0, -0
    0x00000001, 0x80000001,  // ±1.40129846E-45, the smallest subnormal
    0x007fffff, 0x00800000,  // the largest subnormal, the smallest normal
    0x7f7fffff, 0xff7fffff,  // ±3.40282347E+38, the largest finite
    0x15ae43fd, 0x95ae43fd,  // ±7.038531e-26: the shortest text reads as 0x15ae43fe
    0x7f800000, 0xff800000,  // ±inf
    0x7fc00000, 0xffc00000,  // quiet NaNs: ARM's default, x86-64's default
    0x7f800001, 0xffffffff,  // a signalling NaN; a negative NaN, every payload bit
    0x3c800000, 0xbc800000,  // ±0.015625 = 1/64: F8.5 tie, to even "0.01562"
    0x3d400000, 0x3f7c0000,  // 0.046875 = 3/64, 0.984375 = 63/64: F8.5 ties upward
    0x3d000000, 0xbd000000,  // ±0.03125 = 1/32: F6.4 tie, "-.0312"
    0x3dc00000, 0xbdc00000,  // ±0.09375 = 3/32: F6.4 tie upward, "-.0938"
    0x3d800000, 0xbd800000,  // ±0.0625 = 1/16: F5.3 tie, "-.062"
    0x3e400000, 0x3ea00000,  // 0.1875 = 3/16 upward, 0.3125 = 5/16 to even
    0xb6800000, 0xb8000000,  // -2^-18, -2^-15: negative, round to zero in F8.5, F6.4
    0xba000000,              // -2^-11: negative, rounds to zero in F5.3
    0x42c7ffff, 0x42c80000,  // 99.9999924 fills F8.5; 100 overflows it (item "  100.")
    0xc11ffff6, 0xbf7fff58,  // -9.99999 fills F8.5; -0.99999 is "-1.0000" in F6.4
    0x3f800000, 0x501502f9,  // 1 ("  1."), 1.E+10
    0x4ceb79a3,              // 123456792, the float nearest 123456789 ("  123456792.")
};

constexpr std::size_t failures_kept = 5;  // per check, and per thread
constexpr std::size_t strays_kept = 16;   // per thread

// A pattern a check failed on: the text read, when the check reads one,
// and what each side gave.
struct Failure {
  std::uint32_t bits;
  char input[32];
  char got[64];
  char want[64];
};

// A float whose shortest text reads as another float.
struct Stray {
  std::uint32_t bits;
  std::uint32_t read;
  char text[32];
};

// What one thread found; the threads' tallies are merged at the end.
struct Tally {
  std::uint64_t checked[check_count] = {};
  std::uint64_t failed[check_count] = {};
  std::vector<Failure> failures[check_count];
  std::uint64_t stray_count = 0;
  std::vector<Stray> strays;  // the first few
};

template <std::size_t N>
void copy(char (&to)[N], std::string_view text) {
  std::size_t n = std::min(text.size(), N - 1);
  std::memcpy(to, text.data(), n);
  to[n] = '\0';
}

// The F field Fw.d of `v` by the record rules, from the C library's
// "%#.*f" of the magnitude (a float converts to double exactly). A zero of
// either sign is positive, a sign standing before zeros only is dropped, a
// leading zero goes when the text is one too long, and a longer text is
// all asterisks. printf writes "inf" as the field does, but "nan" for a
// positive NaN: the field writes "-nan" for every NaN, as x86-64 does.
// A finite magnitude of 10^8 or more has nine digits before the point, so
// its text is wider than any field here (8 at most): all asterisks, and
// printf is not asked, as its long texts of large values would take most
// of a run.
std::string_view reference_f(float v, int width, int decimals, char (&field)[64]) {
  std::memset(field, '*', static_cast<std::size_t>(width));
  const std::string_view whole(field, static_cast<std::size_t>(width));
  double magnitude = std::fabs(static_cast<double>(v));
  if (std::isfinite(v) && magnitude >= 1e8) return whole;
  char text[64];
  int n = std::isnan(v) ? std::snprintf(text, sizeof text, "-nan")
                        : std::snprintf(text, sizeof text, "%#.*f", decimals, magnitude);
  std::string_view t(text, static_cast<std::size_t>(n));
  bool negative = v < 0 && t.find_first_not_of("0.") != std::string_view::npos;
  if (negative) ++n;
  if (n > width && t[0] == '0' && n - 1 == width) {
    t.remove_prefix(1);
    --n;
  }
  if (n > width) return whole;
  std::memset(field, ' ', static_cast<std::size_t>(width - n));
  if (negative) field[width - n] = '-';
  std::memcpy(field + width - static_cast<int>(t.size()), t.data(), t.size());
  return whole;
}

// The list-directed real item of `v` by the record rules: a blank, a minus
// sign or a blank (a NaN is not negative), then "%.9G" of the magnitude
// with a point added before the exponent or at the end when it has none;
// INF and NAN keep their names. A zero of either sign is "0.".
std::string_view reference_item(float v, char (&item)[48]) {
  item[0] = ' ';
  item[1] = v < 0 ? '-' : ' ';
  char* text = item + 2;
  if (v == 0) {
    std::strcpy(text, "0.");
    return {item, 4};
  }
  int n = std::snprintf(text, sizeof item - 3, "%.9G", std::fabs(static_cast<double>(v)));
  std::string_view t(text, static_cast<std::size_t>(n));
  if (t != "INF" && t != "NAN" && t.find('.') == std::string_view::npos) {
    int e = static_cast<int>(std::min(t.find('E'), t.size()));
    std::memmove(text + e + 1, text + e, static_cast<std::size_t>(n - e + 1));
    text[e] = '.';
    ++n;
  }
  return {item, static_cast<std::size_t>(n + 2)};
}

// Counts one check of `bits` and keeps the first few failures.
void count(Tally& t, Check c, std::uint32_t bits, bool ok, std::string_view input,
           std::string_view got, std::string_view want) {
  ++t.checked[c];
  if (ok) return;
  ++t.failed[c];
  if (t.failures[c].size() >= failures_kept) return;
  Failure& f = t.failures[c].emplace_back();
  f.bits = bits;
  copy(f.input, input);
  copy(f.got, got);
  copy(f.want, want);
}

// The item slot holds this NaN before a read: the reader never makes a
// NaN, so finding it there means the item was left unread.
constexpr std::uint32_t unread = 0x7fc0dead;

// What the list reader makes of `text` as a list of one item: the bits of
// the value, or `unread`; `fault` tells what it reported.
std::uint32_t read_one(std::string_view text, recio::Fault& fault) {
  float item = std::bit_cast<float>(unread);
  recio::Source in(text);
  fault = recio::read_list(in, std::span<float>(&item, 1));
  return std::bit_cast<std::uint32_t>(item);
}

// Checks the reader on `text`: it must give `want` and report no fault.
// Returns the bits it gave.
std::uint32_t check_read(Tally& t, Check c, std::uint32_t bits, std::string_view text,
                         std::uint32_t want) {
  recio::Fault fault;
  std::uint32_t got = read_one(text, fault);
  bool ok = fault == recio::Fault::none && got == want;
  char got_text[64] = "";
  char want_text[16] = "";
  if (!ok) {
    std::snprintf(got_text, sizeof got_text, "0x%08x%s", static_cast<unsigned>(got),
                  got == unread ? " (left unread)" : "");
    if (fault != recio::Fault::none)
      std::snprintf(got_text, sizeof got_text, "fault %d", static_cast<int>(fault));
    std::snprintf(want_text, sizeof want_text, "0x%08x", static_cast<unsigned>(want));
  }
  count(t, c, bits, ok, text, got_text, want_text);
  return got;
}

// The bits a text of the value `x` must read as: those of `x`, but +0 for
// a zero of either sign, as "-0" too reads as +0 (a zero read has no sign).
std::uint32_t read_as(float x) { return x == 0 ? 0u : std::bit_cast<std::uint32_t>(x); }

// The shortest text of a finite `v` must read as the C library's strtod
// rounded to float: the input form rounds to double, then to float. A
// nonzero float it does not give back is a stray (-0 reads as +0, as every
// zero does, and is not one).
void check_shortest(Tally& t, std::uint32_t bits, float v) {
  char text[32];
  *std::to_chars(text, text + sizeof text - 1, v).ptr = '\0';
  float want = static_cast<float>(std::strtod(text, nullptr));
  std::uint32_t got = check_read(t, read_shortest, bits, text, read_as(want));
  if (v == 0 || got == bits) return;
  if (++t.stray_count <= strays_kept) {
    Stray& s = t.strays.emplace_back();
    s.bits = bits;
    s.read = got;
    copy(s.text, text);
  }
}

// Every check of one pattern: the three fields and the list item against
// the references, then, for a finite float, the reader on the item's text
// (the same bits back, +0 for -0) and on the shortest text.
void check_pattern(std::uint32_t bits, Tally& t) {
  const float v = std::bit_cast<float>(bits);
  for (const Field& f : fields) {
    char got[recio::max_width];
    char want[64];
    std::string_view g = recio::edit_f(v, f.width, f.decimals, got);
    std::string_view w = reference_f(v, f.width, f.decimals, want);
    count(t, f.check, bits, g == w, {}, g, w);
  }
  char got[32];
  char want[48];
  std::string_view g = recio::real_item(v, got);
  std::string_view nine = reference_item(v, want);
  count(t, list_item, bits, g == nine, {}, g, nine);
  if (!std::isfinite(v)) return;
  check_read(t, read_nine, bits, nine, read_as(v));
  check_shortest(t, bits, v);
}

// The patterns k × stride for k in [0, count), taken a block at a time
// from a shared counter, so a thread that meets slower patterns (long
// fixed texts of large values) takes fewer blocks. Blocks are taken in
// increasing order, so each thread's first failures are its lowest.
void run_share(std::atomic<std::uint64_t>& next, std::uint64_t count, std::uint64_t stride,
               Tally& t) {
  constexpr std::uint64_t block = 1 << 14;
  for (;;) {
    std::uint64_t start = next.fetch_add(block);
    if (start >= count) return;
    std::uint64_t end = std::min(start + block, count);
    for (std::uint64_t k = start; k < end; ++k)
      check_pattern(static_cast<std::uint32_t>(k * stride), t);
  }
}

// Adds `from` into `into`; the failures and strays kept stay the lowest by
// bit pattern.
void merge(Tally& into, const Tally& from) {
  for (int c = 0; c < check_count; ++c) {
    into.checked[c] += from.checked[c];
    into.failed[c] += from.failed[c];
    auto& kept = into.failures[c];
    kept.insert(kept.end(), from.failures[c].begin(), from.failures[c].end());
    std::sort(kept.begin(), kept.end(),
              [](const Failure& a, const Failure& b) { return a.bits < b.bits; });
    if (kept.size() > failures_kept) kept.resize(failures_kept);
  }
  into.stray_count += from.stray_count;
  into.strays.insert(into.strays.end(), from.strays.begin(), from.strays.end());
  std::sort(into.strays.begin(), into.strays.end(),
            [](const Stray& a, const Stray& b) { return a.bits < b.bits; });
  if (into.strays.size() > strays_kept) into.strays.resize(strays_kept);
}

// The counts per check, the first failures with the bytes of both sides,
// and the strays. Returns true when no check failed.
bool report(const Tally& t) {
  bool ok = true;
  std::printf("%-26s %12s %12s\n", "check", "checked", "failed");
  for (int c = 0; c < check_count; ++c) {
    std::printf("%-26s %12llu %12llu\n", check_name[c],
                static_cast<unsigned long long>(t.checked[c]),
                static_cast<unsigned long long>(t.failed[c]));
    ok = ok && t.failed[c] == 0;
  }
  for (int c = 0; c < check_count; ++c) {
    if (t.failures[c].empty()) continue;
    std::printf("first failures of the %s:\n", check_name[c]);
    for (const Failure& f : t.failures[c]) {
      if (f.input[0] != '\0')
        std::printf("  0x%08x \"%s\": got %s, want %s\n", static_cast<unsigned>(f.bits), f.input,
                    f.got, f.want);
      else
        std::printf("  0x%08x: got \"%s\", want \"%s\"\n", static_cast<unsigned>(f.bits), f.got,
                    f.want);
    }
  }
  std::printf("shortest texts that read as another float: %llu\n",
              static_cast<unsigned long long>(t.stray_count));
  for (const Stray& s : t.strays)
    std::printf("  0x%08x \"%s\" reads as 0x%08x\n", static_cast<unsigned>(s.bits), s.text,
                static_cast<unsigned>(s.read));
  return ok;
}

struct Options {
  std::uint64_t stride = 1;
  unsigned threads = 0;  // 0: every core
};

// A whole number in [low, high], or false.
bool number(const char* text, std::uint64_t low, std::uint64_t high, std::uint64_t& value) {
  const char* end = text + std::strlen(text);
  auto r = std::from_chars(text, end, value);
  return r.ec == std::errc() && r.ptr == end && value >= low && value <= high;
}

constexpr const char* usage =
    "usage: every_float [--stride N] [--threads T]\n"
    "  checks the bit patterns 0, N, 2N, ... below 2^32 (N = 1: every one, the\n"
    "  default; an odd N reaches every low bit of the significand) and a few\n"
    "  named patterns, on T threads (default: every core). Exit 0 when every\n"
    "  check passed, 1 when one failed, 2 on a usage error.\n";

// Returns 0 when the options are read, else the exit status.
int parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string_view a = argv[i];
    std::uint64_t n = 0;
    if (a == "-h" || a == "--help") {
      std::fputs(usage, stdout);
      return -1;
    }
    if ((a == "--stride" || a == "--threads") && i + 1 < argc &&
        number(argv[i + 1], 1, a == "--stride" ? pattern_count : 1024, n)) {
      if (a == "--stride")
        o.stride = n;
      else
        o.threads = static_cast<unsigned>(n);
      ++i;
      continue;
    }
    std::fprintf(stderr, "every_float: bad argument '%s'\n%s", argv[i], usage);
    return 2;
  }
  if (o.threads == 0) o.threads = std::max(1u, std::thread::hardware_concurrency());
  return 0;
}

}  // namespace

// The named patterns the stride misses are checked first, then the stride
// on every thread. The summary ends with the time taken, the processor
// time of all threads per pattern (which other work on the machine does
// not inflate), and the time every pattern would take at this pace.
int main(int argc, char** argv) {
  Options o;
  if (int status = parse(argc, argv, o); status != 0) return status < 0 ? 0 : status;
  auto start = std::chrono::steady_clock::now();
  std::clock_t processor_start = std::clock();

  Tally total;
  std::uint64_t extra = 0;
  for (std::uint32_t bits : named) {
    if (bits % o.stride == 0) continue;
    check_pattern(bits, total);
    ++extra;
  }
  const std::uint64_t count = (pattern_count + o.stride - 1) / o.stride;
  std::vector<Tally> tallies(o.threads);
  std::atomic<std::uint64_t> next{0};
  {
    std::vector<std::jthread> threads;
    for (Tally& t : tallies)
      threads.emplace_back(run_share, std::ref(next), count, o.stride, std::ref(t));
  }
  for (const Tally& t : tallies) merge(total, t);

  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf(
      "every float: stride %llu, %llu patterns (%llu by stride, %llu named), threads: %u\n",
      static_cast<unsigned long long>(o.stride), static_cast<unsigned long long>(count + extra),
      static_cast<unsigned long long>(count), static_cast<unsigned long long>(extra), o.threads);
  bool ok = report(total);
  double processor = static_cast<double>(std::clock() - processor_start) / CLOCKS_PER_SEC;
  double patterns = static_cast<double>(count + extra);
  std::printf(
      "elapsed %.2f s, processor %.2f s: %.0f ns per pattern; all 2^32 at this pace: %.0f min\n",
      seconds, processor, processor / patterns * 1e9,
      seconds * static_cast<double>(pattern_count) / patterns / 60);
  std::printf("%s\n", ok ? "every check passed" : "FAILED");
  return ok ? 0 : 1;
}
