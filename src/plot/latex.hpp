// Names and labels as the picture shows them: PLplot text, the LaTeX of
// HEPData names made into PLplot's sub- and superscripts and Unicode glyphs.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace plot {

// A HEPData name or unit (`$x_p$`, `$\xi = -\ln z$`, plain `x_p`) as PLplot
// text: `_`/`^` and their `{...}` as sub- and superscripts, Greek letters
// and symbols as their glyphs, \frac as a slash, font and spacing commands
// as what they show. No `$` or backslash is left; a command it does not
// know is shown by its name. Long names are cut to 200 bytes.
std::string plot_text(std::string_view latex);

// A plain label (a file name, a legend entry) as PLplot text: '#' doubled.
std::string escaped(std::string_view label);

}  // namespace plot
