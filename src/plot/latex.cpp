// The text of names and labels in the picture: the LaTeX that HEPData
// names carry, read item by item into PLplot text, and plain names kept as
// written. PLplot escapes start with '#': "#d" goes down half a line
// (subscript), "#u" up.

#include "plot/latex.hpp"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "tables/read.hpp"

namespace plot {

namespace {

struct Word {
  std::string_view name, text;
};

// Commands that stand for a glyph, a blank or nothing. Font, size and
// style commands show nothing: the group after them is drawn as it is.
// clang-format off
constexpr Word words[] = {
    {"alpha", "α"}, {"beta", "β"}, {"gamma", "γ"}, {"delta", "δ"}, {"epsilon", "ε"},
    {"varepsilon", "ε"}, {"zeta", "ζ"}, {"eta", "η"}, {"theta", "θ"}, {"vartheta", "ϑ"},
    {"iota", "ι"}, {"kappa", "κ"}, {"lambda", "λ"}, {"mu", "μ"}, {"nu", "ν"}, {"xi", "ξ"},
    {"omicron", "ο"}, {"pi", "π"}, {"rho", "ρ"}, {"sigma", "σ"}, {"varsigma", "ς"}, {"tau", "τ"},
    {"upsilon", "υ"}, {"phi", "ϕ"}, {"varphi", "φ"}, {"chi", "χ"}, {"psi", "ψ"}, {"omega", "ω"},
    {"Gamma", "Γ"}, {"Delta", "Δ"}, {"Theta", "Θ"}, {"Lambda", "Λ"}, {"Xi", "Ξ"}, {"Pi", "Π"},
    {"Sigma", "Σ"}, {"Upsilon", "Υ"}, {"Phi", "Φ"}, {"Psi", "Ψ"}, {"Omega", "Ω"}, {"pm", "±"},
    {"mp", "∓"}, {"times", "×"}, {"cdot", "·"}, {"div", "÷"}, {"ast", "∗"}, {"to", "→"},
    {"rightarrow", "→"}, {"leftarrow", "←"}, {"leftrightarrow", "↔"}, {"Rightarrow", "⇒"},
    {"le", "≤"}, {"leq", "≤"}, {"ge", "≥"}, {"geq", "≥"}, {"ll", "≪"}, {"gg", "≫"}, {"ne", "≠"},
    {"neq", "≠"}, {"approx", "≈"}, {"sim", "∼"}, {"simeq", "≃"}, {"equiv", "≡"}, {"propto", "∝"},
    {"infty", "∞"}, {"partial", "∂"}, {"nabla", "∇"}, {"ell", "ℓ"}, {"hbar", "ℏ"}, {"prime", "′"},
    {"langle", "⟨"}, {"rangle", "⟩"}, {"vert", "|"}, {"mid", "|"}, {"perp", "⊥"}, {"circ", "∘"},
    {"degree", "°"}, {"ldots", "…"}, {"dots", "…"}, {"cdots", "⋯"}, {"sum", "∑"}, {"prod", "∏"},
    {"int", "∫"}, {"in", "∈"}, {",", " "}, {":", " "}, {";", " "}, {" ", " "}, {"quad", " "},
    {"qquad", " "}, {"!", ""}, {"\\", " "}, {"#", "##"},
};
// clang-format on

// Commands that change only the font, size or style of what follows them
// in their group ("{\rm GeV}"): they show nothing, and the blanks after them
// end the command's name, as in LaTeX.
constexpr std::string_view switches[] = {
    "rm",        "it",          "bf",     "sf",    "tt",       "cal",  "displaystyle",
    "textstyle", "scriptstyle", "limits", "big",   "Big",      "bigg", "Bigg",
    "small",     "normalsize",  "large",  "Large", "boldmath",
};

// Commands whose argument is drawn as it is, only in another font or style
// ("\mathrm{T}" is T, also as a subscript's one item).
constexpr std::string_view fonts[] = {
    "mathrm",  "mathit",     "mathbf", "mathsf",       "mathtt", "mathcal", "mathbb",
    "mathscr", "boldsymbol", "text",   "textrm",       "textit", "textbf",  "textsf",
    "texttt",  "mbox",       "hbox",   "operatorname", "emph",
};

// Accents, drawn as a combining mark after each character: \bar{p} is p̄.
// clang-format off
constexpr Word accents[] = {
    {"bar", "\u0304"}, {"overline", "\u0305"}, {"hat", "\u0302"}, {"widehat", "\u0302"},
    {"tilde", "\u0303"}, {"widetilde", "\u0303"}, {"vec", "\u20d7"}, {"dot", "\u0307"},
};
// clang-format on

constexpr std::size_t max_latex = 200;

struct Cursor {
  std::string_view s;
  std::size_t i = 0;
  bool math = false;  // between `$` and `$`: `_`, `^` and `-` are math
  bool end() const { return i >= s.size(); }
  char peek() const { return s[i]; }
};

std::string item(Cursor& c);

// Items up to the brace that closes the group (or the end of the text).
std::string group(Cursor& c) {
  std::string out;
  while (!c.end()) {
    if (c.peek() == '}') {
      ++c.i;
      break;
    }
    out += item(c);
  }
  return out;
}

// The argument of a command or of `_`/`^`: a group, or the one item next.
std::string argument(Cursor& c) {
  while (!c.end() && c.peek() == ' ') ++c.i;
  if (c.end()) return "";
  if (c.peek() == '{') return ++c.i, group(c);
  return item(c);
}

// Bytes in the UTF-8 character that starts at `i`, or 0 when none does.
std::size_t utf8_length(std::string_view s, std::size_t i) {
  unsigned char b = static_cast<unsigned char>(s[i]);
  std::size_t n = b < 0x80                 ? 1
                  : b >= 0xC2 && b <= 0xDF ? 2
                  : b >= 0xE0 && b <= 0xEF ? 3
                  : b >= 0xF0 && b <= 0xF4 ? 4
                                           : 0;
  if (n == 0 || i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  return n;
}

// In parentheses when it is more than one term, as "(a+b)/c" needs.
std::string term(const std::string& s) {
  return s.find_first_of(" +-/*=<>") == std::string::npos ? s : "(" + s + ")";
}

// The mark after each character of `s`, PLplot escapes left as they are.
std::string accented(const std::string& s, std::string_view mark) {
  std::string out;
  for (std::size_t k = 0; k < s.size();) {
    std::size_t n = s[k] == '#' ? 2 : std::max<std::size_t>(utf8_length(s, k), 1);
    out.append(s, k, n);
    if (s[k] != '#') out += mark;
    k += n;
  }
  return out;
}

std::string_view lookup(const Word* begin, const Word* end, std::string_view name, bool& found) {
  for (const Word* w = begin; w != end; ++w)
    if (w->name == name) return found = true, w->text;
  return found = false, std::string_view();
}

// After a backslash: a command of letters, or one other character.
std::string command(Cursor& c) {
  if (c.end() || static_cast<unsigned char>(c.peek()) >= 0x80) return "";
  std::size_t start = c.i;
  if (std::isalpha(static_cast<unsigned char>(c.peek())))
    while (!c.end() && std::isalpha(static_cast<unsigned char>(c.peek()))) ++c.i;
  else
    ++c.i;
  std::string_view name = c.s.substr(start, c.i - start);
  if (std::ranges::find(switches, name) != std::end(switches)) {
    while (!c.end() && c.peek() == ' ') ++c.i;
    return "";
  }
  if (std::ranges::find(fonts, name) != std::end(fonts)) return argument(c);
  bool found = false;
  std::string_view mark = lookup(std::begin(accents), std::end(accents), name, found);
  if (found) return accented(argument(c), mark);
  if (name == "frac") {
    std::string top = argument(c);
    std::string out = term(top) + "/" + term(argument(c));
    // "1/σ dσ/dx", not "1/σdσ/dx": a fraction is set apart from what follows.
    bool joined = !c.end() && (std::isalnum(static_cast<unsigned char>(c.peek())) ||
                               c.s.substr(c.i).starts_with("\\frac"));
    return joined ? out + " " : out;
  }
  if (name == "sqrt") {
    if (!c.end() && c.peek() == '[') c.i = std::min(c.s.find(']', c.i), c.s.size() - 1) + 1;
    return "√" + term(argument(c));
  }
  if (name == "left" || name == "right") {
    if (!c.end() && c.peek() == '.') ++c.i;
    return "";
  }
  std::string_view text = lookup(std::begin(words), std::end(words), name, found);
  if (found) return std::string(text);
  return std::string(name);
}

constexpr std::string_view minus = "\u2212";

// Whether the hyphen at `i` of `s` is the sign of a number ("-0.5 < y"), not
// a hyphen within a word ("anti-kT") or a dash between numbers ("1-2").
bool sign_at(std::string_view s, std::size_t i) {
  auto digit = [&](std::size_t k) {
    return k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]));
  };
  bool number = digit(i + 1) || (i + 1 < s.size() && s[i + 1] == '.' && digit(i + 2));
  return number && (i == 0 || std::string_view(" ([{=<>,/$").find(s[i - 1]) != s.npos);
}

// One item: a character, a group, a command or a sub- or superscript; in
// text (outside `$`) `_` and `^` are themselves, as in a plain name.
std::string item(Cursor& c) {
  char ch = c.s[c.i];
  if (static_cast<unsigned char>(ch) >= 0x80) {
    std::size_t n = utf8_length(c.s, c.i);
    c.i += n ? n : 1;
    return n ? std::string(c.s.substr(c.i - n, n)) : "?";
  }
  ++c.i;
  switch (ch) {
    case '{': return group(c);
    case '\\': return command(c);
    case '_': return c.math ? "#d" + argument(c) + "#u" : "_";
    case '^': return c.math ? "#u" + argument(c) + "#d" : "^";
    case '-': return c.math || sign_at(c.s, c.i - 1) ? std::string(minus) : "-";
    case '#': return "##";
    case '~': return " ";
    case '$': return c.math = !c.math, "";
    case '}': return "";
    default: return static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f ? " " : std::string(1, ch);
  }
}

// A name without `$` as written: only '#' escaped and a number's sign
// made a minus.
std::string as_written(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i)
    out += s[i] == '#'                    ? "##"
           : s[i] == '-' && sign_at(s, i) ? std::string(minus)
                                          : std::string(1, s[i]);
  return out;
}

}  // namespace

std::string plot_text(std::string_view latex) {
  std::string whole = tables::shown(latex, max_latex);
  std::string text;
  if (whole.find('$') == std::string::npos) {
    text = as_written(whole);
  } else {
    Cursor c{whole};
    while (!c.end()) text += item(c);
  }
  // Blanks as LaTeX sets them: one between words, none at either end nor
  // inside angle brackets ("⟨Q²⟩", written "\langle Q^2 \rangle").
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::string_view next =
        std::string_view(text).substr(std::min(text.find_first_not_of(' ', i), text.size()));
    if (text[i] != ' ' ||
        (!out.empty() && out.back() != ' ' && !out.ends_with("⟨") && !next.starts_with("⟩")))
      out += text[i];
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace plot
