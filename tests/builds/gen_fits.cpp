// Seeded fit directories for comparing builds of xpcorr: each case is a
// directory of the eighteen fit files, its values and their spelling drawn
// from the seed and the case number alone, so one case can be rewritten.
//
//   gen_fits SEED COUNT OUTDIR [FIRST]   writes OUTDIR/caseNNNNN, N = FIRST..

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Rng = std::mt19937_64;

// Matched count, Monte Carlo yield and data yield of the shipped sample
// (examples/sample), bins 1 to 9: realistic values are drawn around them.
constexpr double sample_match[9] = {472, 45735, 75756, 97390, 55915, 32618, 33497, 24970, 8111};
constexpr double sample_mcyield[9] = {476.08,   45486.48, 75097.45, 98811.81, 55234.17,
                                      32140.21, 33757.71, 24881.83, 8142.23};
constexpr double sample_dayield[9] = {397.02,   39966.14, 67701.08, 82137.03, 44468.75,
                                      28250.88, 29811.11, 19882.98, 6615.60};
// The program's generated counts: yields are chosen from them so that the
// width-weighted totals come out where their last bit shows in print.
constexpr double gen[9] = {5743, 216582, 262234, 288149, 148142, 83560, 85893, 60933, 21681};

// A decimal value: (-1)^neg × digits × 10^exp; no digits is zero.
struct Dec {
  bool neg = false;
  std::string digits;
  long exp = 0;
};

// Draws from the case's own generator: integers, reals, percentages, items.
long pick(Rng& r, long lo, long hi) { return std::uniform_int_distribution<long>(lo, hi)(r); }
double uniform(Rng& r, double lo, double hi) {
  return std::uniform_real_distribution<double>(lo, hi)(r);
}
double loguniform(Rng& r, double lo, double hi) {
  return std::exp(uniform(r, std::log(lo), std::log(hi)));
}
bool chance(Rng& r, int percent) { return pick(r, 0, 99) < percent; }
template <class T, std::size_t N>
const T& one_of(Rng& r, const T (&a)[N]) {
  return a[pick(r, 0, N - 1)];
}

// Reads what printf writes ("-12.50", "1.25e+07") or a plain literal.
Dec parse(const std::string& s) {
  Dec d;
  std::size_t i = 0, e = std::min(s.find_first_of("eE"), s.size());
  if (s[0] == '-' || s[0] == '+') d.neg = s[0] == '-', i = 1;
  for (; i < e; ++i)
    if (s[i] == '.')
      d.exp = -long(e - i - 1);
    else
      d.digits += s[i];
  if (e < s.size()) d.exp += std::atol(s.c_str() + e + 1);
  while (!d.digits.empty() && d.digits[0] == '0') d.digits.erase(0, 1);
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back(), ++d.exp;
  return d;
}

// x as printf writes it under f: a fitting program's own spelling.
std::string format(const char* f, double x) {
  char buf[128];
  std::snprintf(buf, sizeof buf, f, x);
  return buf;
}

// One of the input form's spellings of d: sign, leading and trailing
// zeros, point anywhere or none, exponent letter E e D d or a bare sign,
// and sometimes digits past the fortieth, which only scale the value.
std::string spell(Dec d, Rng& r) {
  std::string s = d.neg ? "-" : chance(r, 20) ? "+" : "";
  if (d.digits.empty()) d.digits = "0", d.exp = chance(r, 50) ? 0 : pick(r, -999, 999);
  for (long k = chance(r, 10) ? pick(r, 30, 45) : 0; k > 0; --k)
    d.digits += char('0' + pick(r, 0, 9)), --d.exp;
  if (chance(r, 20)) d.digits.insert(0, std::string(pick(r, 1, 3), '0'));
  if (chance(r, 20)) {
    long k = pick(r, 1, 4);
    d.digits += std::string(k, '0');
    d.exp -= k;
  }
  long n = long(d.digits.size()), p = pick(r, 0, n + 1),
       shown = d.exp;  // p digits before the point
  if (p > n)
    s += d.digits;
  else
    s += d.digits.substr(0, p) + "." + d.digits.substr(p), shown += n - p;
  if (shown == 0 && chance(r, 60)) return s;
  std::string digits =
      std::string(chance(r, 20) ? pick(r, 1, 2) : 0, '0') + std::to_string(std::labs(shown));
  if (chance(r, 15)) return s + (shown < 0 ? "-" : "+") + digits;  // 1.5-3
  return s + one_of(r, {"E", "e", "D", "d"}) +
         (shown < 0       ? "-"
          : chance(r, 50) ? "+"
                          : "") +
         digits;
}

// Six values per file, 18 files: bins 1-9 of the Monte Carlo, then the data.
using Values = std::vector<std::vector<Dec>>;

// Fit values around the sample's (or counts of 1e3 to 3e5), written as a
// fitting program writes them; the unused positions look like a fit's too.
Values realistic(Rng& r) {
  Values v(18, std::vector<Dec>(6));
  bool scaled = chance(r, 50);
  for (int b = 0; b < 9; ++b) {
    double match = scaled ? sample_match[b] * uniform(r, 0.5, 2) : loguniform(r, 1e3, 3e5);
    double mcy = scaled ? sample_mcyield[b] * uniform(r, 0.5, 2) : match * uniform(r, 0.9, 1.1);
    double day = scaled ? sample_dayield[b] * uniform(r, 0.5, 2) : match * uniform(r, 0.6, 1.6);
    for (int f : {b, b + 9}) {
      v[f][0] = parse(format("%.1f", std::round(f == b ? match : match * uniform(r, 0.8, 1.5))));
      v[f][1] = parse(format("%.5f", uniform(r, 1.863, 1.866)));
      v[f][2] = parse(format("%.6f", uniform(r, 0.006, 0.011)));
      v[f][3] = parse(format("%.1f", match * uniform(r, 0.2, 0.6)));
      v[f][4] = parse(format("%.2f", f == b ? mcy : day));
      v[f][5] = parse(format("%.2f", std::sqrt(match) * uniform(r, 1, 1.4)));
    }
  }
  return v;
}

// Yields of random float mantissas whose weighted rates add up to 36 to
// 95, where a unit in the last place of a sum is most of a unit in the
// last printed digit of its F8.5 field.
void wide_sums(Values& v, Rng& r) {
  for (int b = 0; b < 9; ++b) {
    double match = std::round(loguniform(r, 50, 3000));
    v[b][0] = parse(format("%.1f", match));
    for (int f : {b, b + 9}) {
      double share = uniform(r, 4, 10.5);  // dxp × rate of the bin
      v[f][4] = parse(format("%.8e", double(float(share * 1e6 * match / (gen[b] * 1.1257458)))));
    }
  }
}

// Decimals on or a hair either side of the midpoint between two floats.
Dec near_tie(const Dec& d, Rng& r) {
  float f = std::strtof((d.digits + "e" + std::to_string(d.exp)).c_str(), nullptr);
  double mid = (double(f) + double(std::nextafter(f, INFINITY))) / 2;
  Dec t = parse(format("%.39e", mid));
  t.neg = d.neg;
  switch (pick(r, 0, 2)) {
    case 0: return t;
    case 1: t.digits += "0001"; break;
    default: t.digits.back() = char(t.digits.back() - 1), t.digits += "9999";
  }
  t.exp -= 4;
  return t;
}

// Values at the edges of single precision and beyond, and zeros.
void extremes(Values& v, Rng& r) {
  static const char* const edge[] = {
      "1e39",  "-1e39",   "3.4028235e38", "3.4028236e38", "1e400",  "9e99999999", "1.17549435e-38",
      "1e-40", "1.4e-45", "7e-46",        "-1e-50",       "1e-400", "0",          "-0",
      "-5",    "-1234.5", "2.5e10"};
  for (long k = pick(r, 1, 4); k > 0; --k)
    v[pick(r, 0, 17)][chance(r, 50) ? 0 : 4] = parse(one_of(r, edge));
}

// A file's text: spellings, separators, nulls, repeat counts, a slash,
// junk after the sixth value, and maybe no final line end.
std::string write_file(const std::vector<Dec>& values, bool respell, Rng& r) {
  std::vector<std::string> item;
  for (const Dec& d : values)
    item.push_back(respell ? spell(d, r)
                           : (d.neg ? "-" : "") + (d.digits.empty() ? "0" : d.digits) +
                                 (d.exp ? "E" + std::to_string(d.exp) : ""));
  if (chance(r, 10)) item[pick(r, 1, 3)] = "";  // a null
  if (chance(r, 5)) item[pick(r, 0, 5)] = "";
  if (chance(r, 8)) item[2] = item[3] = item[1];  // a run: r*v or r*
  bool commas = chance(r, 30) || std::find(item.begin(), item.end(), "") != item.end();
  static const char* const blanks[] = {" ",  "  ",   "\t",       " \t ",
                                       "\n", "\n\n", " \n \t\n", "\n   \n"};
  std::size_t slash =
      chance(r, 6) ? (chance(r, 70) ? 5 : pick(r, 1, 4)) : 6;  // values before a '/'
  std::string text = chance(r, 20) ? "\n" : "";
  for (std::size_t i = 0; i < item.size();) {
    std::size_t run = 1;
    while (i + run < item.size() && item[i + run] == item[i] && chance(r, 70)) ++run;
    text += run > 1 ? std::to_string(run) + "*" + item[i] : item[i];
    i += run;
    if (i == item.size()) {
      if (item.back().empty() && run == 1) text += ",";  // a last null needs its comma
      break;
    }
    if (i >= slash) {
      text += " /";
      break;
    }  // the rest keeps its value
    text += commas ? std::string(chance(r, 30) ? " " : "") + "," + (chance(r, 20) ? "\n" : "")
                   : one_of(r, blanks);
  }
  if (chance(r, 20)) text += one_of(r, {" 7.5 junk ,,/ x", "\tabc 1e", ",9", " , ", " 1\r"});
  if (chance(r, 20)) return text;  // a last line without its line end
  return text + (chance(r, 10) ? "\ngarbage 1.2.3 *5 0*0\n" : "\n");
}

// Breaks one file so that the run must end with the failure report.
void break_one(std::vector<std::string>& files, const std::vector<Dec>& values, int f, Rng& r) {
  std::vector<std::string> item;
  for (const Dec& d : values) item.push_back(spell(d, r));
  switch (pick(r, 0, 7)) {
    case 0: files[f] = "\x01missing"; return;
    case 1: files[f] = "\x01directory"; return;
    case 2: files[f] = ""; return;
    case 3: item.resize(pick(r, 1, 5)); break;  // ends early
    case 4: item[pick(r, 0, 5)] = one_of(r, {"abc", "x", "+", ".", "-.", "e5", "#", "1.5x"}); break;
    case 5:
      item[pick(r, 0, 5)] = one_of(r, {"1.5E", "2e+", "3D-", "4.0d", "1e100000000", "7E+x", "8-"});
      break;
    case 6: item[pick(r, 0, 5)] = one_of(r, {"0*3", "*5", "0*", "00*1.5"}); break;
    default: {
      std::string t;
      for (const std::string& s : item) t += s + "\r\n";
      files[f] = t;
      return;
    }
  }
  std::string t;
  for (const std::string& s : item) t += s + " ";
  files[f] = t + "\n";
}

// Case n: realistic fits (a third), totals that show their last bit (30%),
// near-tie decimals (10%), edge values (15%), or a broken file (12%); most
// files respelled. The directory is made afresh.
void write_case(unsigned long seed, long n, const fs::path& dir) {
  std::seed_seq seq{seed, static_cast<unsigned long>(n)};
  Rng r(seq);
  Values v = realistic(r);
  long kind = pick(r, 0, 99);
  if (kind < 30)
    wide_sums(v, r);
  else if (kind < 40)
    for (auto& file : v)
      for (Dec& d : file) d = chance(r, 50) ? near_tie(d, r) : d;
  else if (kind < 55)
    extremes(v, r);
  bool respell = chance(r, 60);
  std::vector<std::string> files;
  for (const auto& file : v) files.push_back(write_file(file, respell && chance(r, 80), r));
  if (kind >= 88) break_one(files, v[0], int(pick(r, 0, 17)), r);
  fs::remove_all(dir);
  fs::create_directories(dir);
  for (int f = 0; f < 18; ++f) {
    std::string name = (f < 9 ? "mcfit" : "dafit") + std::to_string(f % 9) + ".dat";
    if (files[f] == "\x01missing") continue;
    if (files[f] == "\x01directory") {
      fs::create_directory(dir / name);
      continue;
    }
    std::ofstream(dir / name, std::ios::binary) << files[f];
  }
}

}  // namespace

// Writes cases FIRST to FIRST+COUNT-1; a wrong call is a usage error (2).
int main(int argc, char** argv) {
  if (argc < 4 || argc > 5) {
    std::fprintf(stderr, "usage: gen_fits SEED COUNT OUTDIR [FIRST]\n");
    return 2;
  }
  unsigned long seed = std::strtoul(argv[1], nullptr, 10);
  long count = std::atol(argv[2]), first = argc == 5 ? std::atol(argv[4]) : 0;
  for (long n = first; n < first + count; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "case%05ld", n);
    write_case(seed, n, fs::path(argv[3]) / name);
  }
}
