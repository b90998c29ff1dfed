// A data table as every format holds it: independent variables (bins or
// points along an axis) and dependent variables (values with their
// uncertainties), after the HEPData model, which the other formats fit in.
#pragma once

#include <string>
#include <vector>

namespace tables {

// A variable's header: its name and units, as written (LaTeX and all).
struct Header {
  std::string name, units;
};

// One value of an independent variable: a bin from `low` to `high`, which
// may give a `value` of its own (its centre of gravity), or a single value,
// which may be a text ('-' for a point without a place) kept in `text`.
struct Coordinate {
  bool bin = false;
  bool has_value = false;
  double low = 0, high = 0, value = 0;
  bool number = true;
  std::string text;

  static Coordinate of_bin(double low, double high) {
    Coordinate c;
    c.bin = true, c.low = low, c.high = high;
    return c;
  }
  static Coordinate of_bin(double low, double high, double value) {
    Coordinate c = of_bin(low, high);
    c.has_value = true, c.value = value;
    return c;
  }
  static Coordinate of_value(double value) {
    Coordinate c;
    c.has_value = true, c.low = c.high = c.value = value;
    return c;
  }
};

// One source of uncertainty of a value: its sizes downwards and upwards,
// as magnitudes, and the source's label ("stat", "sys"; empty when none).
struct Uncertainty {
  double down = 0, up = 0;
  std::string label;
};

// One value of a dependent variable: a number, or a text that stands for a
// value not measured ('-'), which has no uncertainties.
struct Entry {
  bool number = true;
  double value = 0;
  std::string text;
  std::vector<Uncertainty> errors;
};

// A qualifier of a dependent variable (a branching ratio, an energy): a
// number when `number` is set, else the text.
struct Qualifier {
  std::string name;
  bool number = false;
  double value = 0;
  std::string text, units;
};

struct Independent {
  Header header;
  std::vector<Coordinate> values;
};

struct Dependent {
  Header header;
  std::vector<Qualifier> qualifiers;
  std::vector<Entry> values;
};

// Every variable holds the same number of values: value i of a dependent
// variable belongs to value i of each independent variable. `comments` are
// lines a format may carry before the data (the program that wrote the
// table, where its inputs came from); readers pass over them. `notes` are
// what a reader tells its user of the values it read (a profile's bins
// whose means have no error), one line each.
//
// A number that stands for a single-precision result is held as the double
// nearest to the float's shortest decimal, so that writing the double's
// shortest decimal gives back the same digits.
struct Table {
  std::vector<std::string> comments;
  std::vector<Independent> independent;
  std::vector<Dependent> dependent;
  std::vector<std::string> notes = {};
};

}  // namespace tables
