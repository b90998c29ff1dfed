// Names and labels as the picture shows them: PLplot text, the LaTeX of
// HEPData names made into PLplot's sub- and superscripts and Unicode glyphs.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace plot {

// A HEPData name, unit or label as PLplot text. Between `$` signs it is
// LaTeX math (`$x_p$`, `$\xi = -\ln z$`): `_`/`^` and their `{...}` as
// sub- and superscripts, Greek letters and symbols as their glyphs, \frac
// as a slash, `-` as a minus sign (U+2212), font and spacing commands as
// what they show; outside them, commands and groups alike, `_` and `^`
// themselves. A text without `$` is drawn as written (`T1_PT`, `v2{2}`).
// Either way a number's sign is a minus sign ("−0.5"); with `$`, no `$` or
// backslash is left and a command it does not know is shown by its name.
// Long texts are cut to 200 bytes.
std::string plot_text(std::string_view latex);

}  // namespace plot
