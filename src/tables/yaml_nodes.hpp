// YAML as the readers of YAML-based formats (HEPData tables, the headers of
// YODA objects) see it: libyaml's events (YAML 1.1, as HEPData's own tools
// read it) built into a small tree of nodes, bounded in nesting and size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tables/read.hpp"

namespace tables {

class YamlDocument;

// A node of a parsed document, or none (a missing key, an item past the
// end, anything asked of a node that does not have it). A handle into its
// document, which must outlive it. An alias is the node it names, so a
// document may repeat a node many times and even hold itself: a walk over
// it must bound what it visits.
class YamlNode {
 public:
  YamlNode() = default;  // none
  bool defined() const { return doc_ != nullptr; }
  // A plain untagged ~, null, Null, NULL or nothing.
  bool is_null() const;
  // A scalar that is not null.
  bool is_scalar() const;
  bool is_sequence() const;
  bool is_map() const;
  // A scalar written plain and untagged, whose type YAML 1.1 resolves from
  // its text (a quoted one is a string).
  bool plain() const;
  // A scalar's text as the document gives it (escapes resolved), else
  // (a null too) "".
  std::string_view text() const;
  // The items of a sequence, the entries of a map, else 0.
  std::size_t size() const;
  YamlNode item(std::size_t i) const;
  YamlNode key(std::size_t i) const;
  YamlNode value(std::size_t i) const;
  // A map's entry (the last of several with that key, as YAML 1.1 loaders
  // take it); none when it has no such key or is no map.
  YamlNode at(std::string_view key) const;

 private:
  friend class YamlDocument;
  YamlNode(const YamlDocument* doc, std::uint32_t index) : doc_(doc), index_(index) {}
  const YamlDocument* doc_ = nullptr;
  std::uint32_t index_ = 0;
};

// Where a text stops being YAML: the line and column (from 0) and what is
// wrong there.
struct YamlSyntax {
  std::size_t line = 0, column = 0;
  std::string problem;
};

// The nodes of the first document of a YAML text, and how many documents
// it holds.
class YamlDocument {
 public:
  // Parses `text`. False with `why` set (and, for text that is no YAML,
  // syntax() telling where) when it cannot be parsed: nesting deeper than
  // max_depth, more nodes than `nodes_per_byte` for each byte, memory.
  bool parse(std::string_view text, ReadFailure& why) noexcept;

  std::size_t documents() const { return documents_; }
  // The first document's root; none when there is no document.
  YamlNode root() const { return nodes_.empty() ? YamlNode() : YamlNode(this, 0); }
  const YamlSyntax& syntax() const { return syntax_; }

 private:
  friend class YamlNode;
  enum class Kind : std::uint8_t { scalar, sequence, map };
  struct Node {
    Kind kind;
    bool plain;
    // A scalar's text in `texts_`, a collection's children in `links_`
    // (a map's as key, value, key, value...).
    std::uint32_t first, count;
  };
  bool build(std::string_view text, ReadFailure& why);
  bool fault(YamlSyntax at, bool has_place, ReadFailure& why);
  void close(std::uint32_t node, std::vector<std::uint32_t>& pending, std::size_t from);

  std::vector<Node> nodes_;
  std::vector<std::uint32_t> links_;
  std::string texts_;
  std::size_t documents_ = 0;
  YamlSyntax syntax_;
};

// The nodes a document may make for each byte of its text, counting each
// repetition through an alias: a few bytes cannot stand for a huge tree.
constexpr std::size_t nodes_per_byte = 4;
// The nodes a text of `bytes` may make, with room for a small one's.
constexpr std::size_t node_budget(std::size_t bytes) { return nodes_per_byte * bytes + 1000; }

// The number a scalar writes: a decimal ("1.5", "+2", ".5", "1e5", quoted
// or not, as the table readers always took it) or YAML's infinities and
// NaN (.inf, -.Inf, .nan); a plain scalar also in the other forms YAML 1.1
// gives integers and floats (1_000.5, 0x1F, 017 (octal), 0b101, 1:30 for
// 90). The double nearest the number written.
bool yaml_number(const YamlNode& n, double& x) noexcept;

}  // namespace tables
