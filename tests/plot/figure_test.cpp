// The figure's parts without drawing: the ratio panel's points, worked by
// hand; titles fitted to their axis; the legend and the text label placed
// clear of every mark, checked against the points' own boxes on the page.

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plot/figure.hpp"
#include "plot/layout.hpp"
#include "tables/read.hpp"

namespace {

using namespace plot;

Point bin(double low, double high, double value, double error) {
  Point p;
  p.low = low, p.high = high, p.x = (low + high) / 2, p.value = value;
  p.has_errors = error > 0;
  p.stat_down = p.stat_up = p.total_down = p.total_up = error;
  return p;
}

Point at_x(double x, double value, double error) {
  Point p = bin(x, x, value, error);
  p.x = x;
  return p;
}

Series series(const char* file, std::vector<Point> points, bool curve = false) {
  Series s;
  s.file = file, s.label = file, s.points = std::move(points), s.curve = curve;
  return s;
}

TEST(Figure, RatiosDivideBinByBinOrAlongACurveNeverBeyondIt) {
  // A reference in bins: x 0.5, 1.5, 2.5 (value 0) and 3.5.
  const Series data =
      series("data", {bin(0, 1, 2, 0.2), bin(1, 2, 4, 0.4), bin(2, 3, 0, 0.1), bin(3, 4, 8, 0.8)});
  // A curve from x 1 to 3: at 1.5 it is halfway from 10 to 20, 15, with an
  // error halfway from 1 to 2, 1.5.
  const Series curve = series("curve", {at_x(3, 40, 4), at_x(1, 10, 1), at_x(2, 20, 2)}, true);
  const Series binned = series("binned", {bin(1, 2, 2, 1), bin(5, 6, 1, 1)});
  struct Expect {
    double x, value, error;
  };
  struct Case {
    std::vector<Series> in;
    std::vector<std::vector<Expect>> ratios;  // of each series after the first
    std::vector<std::string> misses;          // where: why
  };
  const Case cases[] = {
      {{data, curve, binned},
       {{{1.5, 15.0 / 4, 1.5 / 4}}, {{1.5, 0.5, 0.25}}},
       {"x 0 to 1: outside its x range (1 to 3)", "x 2 to 3: no value to divide by in data",
        "x 3 to 4: outside its x range (1 to 3)", "x 5 to 6: no bin with these edges in data"}},
      // The curve as the reference: the bin at x 1.5 by its 15, the one at
      // 5.5 beyond it.
      {{curve, binned},
       {{{1.5, 2.0 / 15, 1 / 15.0}}},
       {"x 5 to 6: outside the x range of curve (1 to 3)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in.front().file);
    Ratios r = ratios(c.in, false);
    ASSERT_EQ(r.series.size(), c.ratios.size());
    for (std::size_t k = 0; k < c.ratios.size(); ++k) {
      ASSERT_EQ(r.series[k].points.size(), c.ratios[k].size());
      for (std::size_t i = 0; i < c.ratios[k].size(); ++i) {
        const Point& p = r.series[k].points[i];
        const Expect& e = c.ratios[k][i];
        EXPECT_DOUBLE_EQ(p.x, e.x);
        EXPECT_DOUBLE_EQ(p.value, e.value);
        EXPECT_DOUBLE_EQ(p.total_down, e.error);
        EXPECT_DOUBLE_EQ(p.total_up, e.error);
      }
    }
    std::vector<std::string> misses;
    for (const Miss& m : r.misses) misses.push_back(m.where + ": " + m.why);
    EXPECT_EQ(misses, c.misses);
  }
}

TEST(Figure, TitlesFitTheirAxisSmallerOrInLines) {
  struct Case {
    std::string text;
    double room;  // points, at 11-point text
    std::vector<std::string> lines;
    double size;
  };
  const Case cases[] = {
      {"fragmentation function", 400, {"fragmentation function"}, 11},
      // 9.7 ems wide: 107 points at 11, 97 points at 10.
      {"ratio to sample fits", 100, {"ratio to sample fits"}, 10.25},
      {"ratio to sample fits", 70, {"ratio to", "sample fits"}, 11},
      // Broken after a slash, never inside the sub- or superscripts.
      {"1/SIG(fiducial) * D(SIG(fiducial))/DDELTA(PHI(j#d1#u,j#d2#u)) [RAD#u-1#d]",
       250,
       {"1/SIG(fiducial) * D(SIG(fiducial))/", "DDELTA(PHI(j#d1#u,j#d2#u)) [RAD#u-1#d]"},
       11},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Title t = fit(c.text, 11, c.room);
    EXPECT_EQ(t.lines, c.lines);
    EXPECT_EQ(t.size, c.size);
    for (const std::string& line : t.lines) EXPECT_LE(text_width(line) * t.size, c.room);
  }
}

// Five series over one narrow bin and one wide: each marker stays inside
// its bin, on a linear and on a logarithmic x axis, and the markers of one
// bin stand apart, in the order of the series.
TEST(Figure, MarkersSetAsideStayInsideTheirBins) {
  for (bool logx : {false, true}) {
    SCOPED_TRACE(logx ? "logx" : "linear x");
    std::vector<Series> five;
    for (int k = 0; k < 5; ++k)
      five.push_back(series("t", {bin(0.05, 0.1, 1 + k, 0.1), bin(3, 4.5, 2, 0.1)}));
    Settings s;
    s.xlog = logx;
    Figure f;
    std::vector<std::string> notes;
    Failure why;
    ASSERT_TRUE(compose(five, s, f, notes, why));
    lay_out(f, s);
    for (const Point& p : five[0].points) {
      double before = -HUGE_VAL;
      for (std::size_t k = 0; k < 5; ++k) {
        const double at = f.x.of(p.x) + aside(f.main, k, f.x, p);
        EXPECT_GT(at, f.x.of(p.low)) << p.low << " series " << k;
        EXPECT_LT(at, f.x.of(p.high)) << p.low << " series " << k;
        EXPECT_GT(at, before) << p.low << " series " << k;
        before = at;
      }
    }
  }
}

TEST(Figure, TheLegendAndTextLabelCoverNoMark) {
  // Falling, rising, and filling every corner: the legend takes the first
  // free corner of top right, top left, bottom right, bottom left, else
  // goes right of the frame, or above it when wider than a fifth of the
  // page; the text label the first of top left, top right, bottom left,
  // bottom right, else above the frame.
  std::vector<Point> falling, rising, everywhere;
  for (int i = 0; i < 10; ++i) {
    falling.push_back(bin(i, i + 1, 10 - i, 0.3));
    rising.push_back(bin(i, i + 1, i + 1, 0.3));
    everywhere.push_back(bin(i, i + 1, i % 2 ? 1 : 10, 0.3));
  }
  struct Case {
    std::vector<Point> points;
    Place legend;
    std::vector<std::string> text;
    std::string where, text_where;
    const char* label = "a long legend entry";
  };
  const Case cases[] = {
      {falling, Place::automatic, {"Experiment"}, "top right", "bottom left"},
      {rising, Place::automatic, {"Experiment"}, "top left", "bottom right"},
      {everywhere, Place::automatic, {"Experiment", "e+e- at 10.6 GeV"}, "above", "above"},
      {everywhere, Place::automatic, {"Experiment"}, "outside", "above", "data"},
      {falling, Place::bottom_left, {}, "bottom left", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    Settings s;
    s.y_scale = Scale::linear;
    s.legend = c.legend;
    s.text = c.text;
    Figure f;
    std::vector<std::string> notes;
    Failure why;
    ASSERT_TRUE(compose({series(c.label, c.points)}, s, f, notes, why));
    lay_out(f, s);
    const Box &fr = f.main.frame, &b = f.legend_box;
    auto where = [&](const Box& box) -> std::string {
      if (box.x0 >= fr.x1) return "outside";
      if (box.y0 >= fr.y1) return "above";
      return std::string(box.y1 > (fr.y0 + fr.y1) / 2 ? "top" : "bottom") +
             (box.x1 > (fr.x0 + fr.x1) / 2 ? " right" : " left");
    };
    EXPECT_EQ(where(b), c.where);
    if (!c.text.empty()) {
      EXPECT_EQ(where(f.text_box), c.text_where);
    }
    EXPECT_FALSE(b.meets(f.text_box) && !c.text.empty());
    // Each point's marker and error bar, on the page, clear of both boxes.
    for (const Point& p : c.points) {
      double x = fr.x0 + (p.x - f.x.lo) / (f.x.hi - f.x.lo) * (fr.x1 - fr.x0);
      auto y = [&](double v) {
        return fr.y0 + (v - f.main.y.lo) / (f.main.y.hi - f.main.y.lo) * (fr.y1 - fr.y0);
      };
      Box mark{x - 3, y(p.value - p.total_down), x + 3, y(p.value + p.total_up)};
      EXPECT_FALSE(mark.meets(b)) << p.x;
      if (!c.text.empty()) {
        EXPECT_FALSE(mark.meets(f.text_box)) << p.x;
      }
    }
  }
}

}  // namespace

namespace {

// The sample's fragmentation function, in its six bins.
Series sample(const char* label) {
  return series(
      label, {bin(0.05, 0.1, 6.42, 1.08), bin(0.1, 0.15, 3.3, 0.385), bin(0.15, 0.2, 1.9, 0.217),
              bin(0.2, 0.3, 0.97, 0.124), bin(0.3, 0.5, 0.34, 0.053), bin(0.5, 1, 0.049, 0.0107)});
}

// A prediction at points across the sample's x.
Series prediction(const char* label) {
  Series s = series(label,
                    {at_x(0.075, 5.5, 0.4), at_x(0.125, 2.6, 0.2), at_x(0.175, 1.5, 0.1),
                     at_x(0.25, 0.9, 0.06), at_x(0.4, 0.3, 0.02), at_x(0.75, 0.037, 0.003)},
                    true);
  return s;
}

// The series of an example table or YODA object, drawn as `draw` asks.
Series example(const std::string& name, const char* label, Draw draw = Draw::points) {
  tables::Table t;
  tables::ReadFailure refusal;
  std::vector<Series> out;
  Failure why;
  EXPECT_TRUE(tables::read_table(name, t, refusal)) << name;
  EXPECT_TRUE(series_of(t, {}, out, why)) << name;
  if (out.empty()) return series(label, {});
  out.front().file = name, out.front().label = label;
  out.front().curve = draw == Draw::line, out.front().step = draw == Draw::step;
  return out.front();
}

// A measurement over other bins, shifted.
Series published(const char* label) {
  return series(label,
                {bin(0.05, 0.1, 6.1, 0.9), bin(0.1, 0.15, 3.4, 0.4), bin(0.15, 0.2, 1.85, 0.2),
                 bin(0.3, 0.5, 0.35, 0.05), bin(0.5, 1, 0.05, 0.009)});
}

}  // namespace

// The figures of the README and the man page, and figures of long
// legends, LaTeX titles, scripts and ranges, each at 16 cm, at two
// columns' and at one column's width: every text the page draws, the
// legend and the text label lie on the page; no two texts meet; no text
// outside the frames meets a frame; the legend and the text label meet
// neither each other, nor a text outside them, nor a measured point's
// marker or bars; and the frame keeps at least half the page's width.
TEST(Figure, EveryBoxIsOnThePageAndClearOfTheOthers) {
  struct Case {
    const char* what;
    std::vector<Series> series;
    Settings s;
  };
  Settings plain, ratio, text, latex, range, outside;
  ratio.ratio = true;
  text = ratio;
  text.text = {"xpcorr sample", "beside invented tables"};
  Settings scripts = text;
  scripts.text = {"$e^{+}e^{-} \\to h^{\\pm}_{1} X$", "$Q^{2}_{\\mathrm{min}}$ = 2 GeV$^{2}$",
                  "$x_{B}$"};
  latex = ratio;
  latex.y_title =
      "$\\frac{1}{\\sigma_{\\mathrm{tot}}} \\frac{d^{2}\\sigma}{dx_p\\,dQ^{2}}$ "
      "for $e^+e^- \\to h^{\\pm} X$ at $\\sqrt{s}$ = 10.58 GeV, all charged hadrons";
  latex.x_title = "$x_p = 2|\\vec{p}_h|/\\sqrt{s}$ of the charged hadron, $x_{p}^{\\mathrm{min}}$";
  Settings man = ratio;  // the man page's figure for a column
  man.text = {"Experiment", "$\\sqrt{s}$ = 10.58 GeV"};
  man.ratio_range = {0.5, 1.5};
  Settings labelled = latex;
  labelled.x_title = "$x_p$";
  range = ratio;
  range.y_range = {0.1, 4};
  range.ratio_range = {0.95, 1.05};
  outside = text;
  outside.legend = Place::outside;
  const Case cases[] = {
      {"the sample", {sample("sample fits")}, plain},
      {"the README's comparison",
       {sample("sample fits"), example(EXAMPLES_DIR "/published-style.yaml", "published style"),
        example(EXAMPLES_DIR "/curve.yaml", "prediction", Draw::line)},
       text},
      {"the man page's YODA comparison",
       {example(YODA_DIR "/reference.yoda:/REF/XPCORR_EXAMPLE/d01-x01-y01", "data"),
        example(YODA_DIR "/prediction.yoda:/XPCORR_EXAMPLE/d01-x01-y01", "prediction", Draw::step)},
       ratio},
      {"a long legend",
       {sample("sample fits of this analysis with every correction applied"),
        published("a published measurement of the same fragmentation function, 2019"),
        prediction("a prediction of a generator tuned to other data")},
       text},
      {"long LaTeX titles", {sample("sample"), published("published")}, latex},
      {"scripts in the text and legend",
       {sample("$\\pi^{\\pm}_{T}$ sample"), published("$K^{0}_{S}$"),
        prediction("$\\Lambda_{c}^{+}$")},
       scripts},
      {"ranges with arrows", {sample("sample"), published("published"), prediction("p")}, range},
      {"the legend outside", {sample("sample"), published("published")}, outside},
      {"the man page's figure for a column",
       {sample("this analysis"), example(EXAMPLES_DIR "/published-style.yaml", "published")},
       man},
      {"a long LaTeX title and LaTeX labels",
       {series("$\\pi^{\\pm}$ data",
               {bin(0.1, 0.2, 3.1, 0.36), bin(0.2, 0.4, 1.2, 0.14), bin(0.4, 0.7, 0.3, 0.06)}),
        series("$K^{0}_{S}$ other",
               {bin(0.1, 0.2, 3.3, 0.36), bin(0.2, 0.4, 1.1, 0.14), bin(0.4, 0.7, 0.3, 0.06)})},
       labelled},
  };
  for (const Case& c : cases)
    for (PageSize size :
         {PageSize{}, PageSize{17.8 * cm, 11 * cm, true}, PageSize{8.6 * cm, 6.45 * cm, true}}) {
      SCOPED_TRACE(std::string(c.what) + " at " + std::to_string(size.width / cm) + " cm");
      Settings s = c.s;
      s.size = size;
      Figure f;
      std::vector<std::string> notes;
      Failure why;
      ASSERT_TRUE(compose(c.series, s, f, notes, why)) << why.detail;
      lay_out(f, s);
      const Box page{0, 0, f.width, f.height};
      EXPECT_GE(f.main.frame.x1 - f.main.frame.x0, f.width / 2);
      std::vector<const Panel*> panels{&f.main};
      if (f.ratio) panels.push_back(&*f.ratio);
      std::vector<Box> boxes, texts;  // the legend and text label; the texts outside them
      if (f.show_legend) boxes.push_back(f.legend_box);
      if (!f.text.empty()) boxes.push_back(f.text_box);
      for (const Box& b : boxes) EXPECT_TRUE(b.within(page));
      if (boxes.size() == 2) {
        EXPECT_FALSE(boxes[0].meets(boxes[1]));
      }
      for (const Mark& m : f.page) {
        if (m.kind != Mark::Kind::text) continue;
        Box b = box_of(m);
        EXPECT_TRUE(b.within(page)) << m.text;
        // Lines of a title touch; they may not overlap by more than rounding.
        b = {b.x0 + 1e-9, b.y0 + 1e-9, b.x1 - 1e-9, b.y1 - 1e-9};
        for (const Box& t : texts) EXPECT_FALSE(b.meets(t)) << m.text;
        if (std::ranges::any_of(boxes, [&](const Box& o) { return b.within(o); })) continue;
        texts.push_back(b);
        for (const Box& o : boxes) EXPECT_FALSE(b.meets(o)) << m.text;
        for (const Panel* p : panels) EXPECT_FALSE(b.meets(p->frame)) << m.text;
      }
      // Markers and bars: the marks of a few points, not a whole line.
      for (const Mark& m : f.main.marks) {
        const Box b = box_of(m);
        if (m.kind == Mark::Kind::text || b.x1 - b.x0 > f.width / 4 || !b.meets(f.main.frame))
          continue;
        for (const Box& o : boxes) EXPECT_FALSE(b.meets(o)) << b.x0 << ", " << b.y0;
      }
    }
}
