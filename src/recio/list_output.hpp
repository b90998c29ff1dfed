// List-directed output: records of character, integer and real items, each
// item with its leading blank, reals by the nine-digit rule, lines of 80.
#pragma once

#include <initializer_list>
#include <span>
#include <string_view>
#include <variant>

#include "recio/units.hpp"

namespace recio {

using ListItem = std::variant<std::string_view, int, float>;

// Longest record before an item is moved to a new one.
inline constexpr std::size_t line_limit = 80;

// The text of a real item: a blank, a minus sign or a blank, and the
// magnitude with nine significant digits and a decimal point.
std::string_view real_item(float value, std::span<char, 32> buf) noexcept;

// Appends one list-directed record (more, if the line limit breaks it).
bool emit_list(Stream& out, std::span<const ListItem> items) noexcept;

// Writes one list-directed record on `unit`; a failure is fatal.
void write_list(int unit, std::initializer_list<ListItem> items) noexcept;

// Writes the blank record: one blank character item.
inline void write_blank(int unit) noexcept { write_list(unit, {std::string_view(" ")}); }

}  // namespace recio
