// A YAML text as a tree of nodes: libyaml's parser events, in the order it
// gives them, made into nodes held in three flat arrays; and the numbers
// its scalars write.

#include "tables/yaml_nodes.hpp"

#include <yaml.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <new>
#include <unordered_map>
#include <utility>

namespace tables {

bool YamlNode::is_null() const {
  if (!defined()) return false;
  const YamlDocument::Node& n = doc_->nodes_[index_];
  if (n.kind != YamlDocument::Kind::scalar || !n.plain) return false;
  const std::string_view t = std::string_view(doc_->texts_).substr(n.first, n.count);
  return t.empty() || t == "~" || t == "null" || t == "Null" || t == "NULL";
}

bool YamlNode::is_scalar() const {
  return defined() && doc_->nodes_[index_].kind == YamlDocument::Kind::scalar && !is_null();
}

bool YamlNode::is_sequence() const {
  return defined() && doc_->nodes_[index_].kind == YamlDocument::Kind::sequence;
}

bool YamlNode::is_map() const {
  return defined() && doc_->nodes_[index_].kind == YamlDocument::Kind::map;
}

bool YamlNode::plain() const {
  return defined() && doc_->nodes_[index_].kind == YamlDocument::Kind::scalar &&
         doc_->nodes_[index_].plain;
}

std::string_view YamlNode::text() const {
  if (!is_scalar()) return {};
  const YamlDocument::Node& n = doc_->nodes_[index_];
  return std::string_view(doc_->texts_).substr(n.first, n.count);
}

std::size_t YamlNode::size() const {
  if (!defined() || doc_->nodes_[index_].kind == YamlDocument::Kind::scalar) return 0;
  return doc_->nodes_[index_].count;
}

YamlNode YamlNode::item(std::size_t i) const {
  if (!is_sequence() || i >= size()) return {};
  return {doc_, doc_->links_[doc_->nodes_[index_].first + i]};
}

YamlNode YamlNode::key(std::size_t i) const {
  if (!is_map() || i >= size()) return {};
  return {doc_, doc_->links_[doc_->nodes_[index_].first + 2 * i]};
}

YamlNode YamlNode::value(std::size_t i) const {
  if (!is_map() || i >= size()) return {};
  return {doc_, doc_->links_[doc_->nodes_[index_].first + 2 * i + 1]};
}

YamlNode YamlNode::at(std::string_view name) const {
  for (std::size_t i = size(); is_map() && i-- > 0;) {
    const YamlNode k = key(i);
    if (k.is_scalar() && k.text() == name) return value(i);
  }
  return {};
}

namespace {

// libyaml's parser and its latest event, each released when it goes.
struct Parser {
  yaml_parser_t p;
  bool ready = yaml_parser_initialize(&p);
  ~Parser() {
    if (ready) yaml_parser_delete(&p);
  }
};
struct Event {
  yaml_event_t e;
  bool held = false;
  ~Event() {
    if (held) yaml_event_delete(&e);
  }
};

// libyaml's words for the faults a reader meets most, in plainer ones; the
// rest as libyaml gives them.
std::string problem_of(const char* problem) {
  constexpr std::pair<std::string_view, const char*> plainer[] = {
      {"did not find expected ',' or ']'", "end of sequence flow not found"},
      {"did not find expected ',' or '}'", "end of map flow not found"},
      {"did not find expected node content", "no node can start here"},
      {"did not find expected '-' indicator", "end of sequence not found"},
      {"did not find expected key", "end of map not found"},
  };
  const std::string_view p = problem ? problem : "not YAML";
  for (const auto& [from, to] : plainer)
    if (p == from) return to;
  return std::string(p);
}

}  // namespace

// Text that is no YAML: where, and what is wrong there.
bool YamlDocument::fault(YamlSyntax at, bool has_place, ReadFailure& why) {
  syntax_ = std::move(at);
  std::string place;
  if (has_place)
    place = "line " + std::to_string(syntax_.line + 1) + ", column " +
            std::to_string(syntax_.column + 1) + ": ";
  why = {ReadError::not_yaml, {}, place + syntax_.problem};
  return false;
}

// A collection ends: its children, from `from` on `pending`, move to its
// place in `links_`.
void YamlDocument::close(std::uint32_t node, std::vector<std::uint32_t>& pending,
                         std::size_t from) {
  Node& n = nodes_[node];
  n.first = static_cast<std::uint32_t>(links_.size());
  n.count = static_cast<std::uint32_t>(pending.size() - from);
  if (n.kind == Kind::map) n.count /= 2;
  links_.insert(links_.end(), pending.begin() + static_cast<std::ptrdiff_t>(from), pending.end());
  pending.resize(from);
}

// The events of the whole text: the first document's nodes kept, an open
// collection's children gathered on a stack until it ends; the documents
// after the first only counted. An anchor names its node from its start,
// so that an alias inside a collection to the collection itself makes it
// hold itself, as YAML allows.
bool YamlDocument::build(std::string_view text, ReadFailure& why) {
  Parser parser;
  if (!parser.ready) return why = {ReadError::unreadable, {}, "out of memory"}, false;
  yaml_parser_set_input_string(&parser.p, reinterpret_cast<const unsigned char*>(text.data()),
                               text.size());
  const std::size_t node_limit = node_budget(text.size());
  std::unordered_map<std::string, std::uint32_t> anchors;
  struct Open {
    std::uint32_t node;
    std::size_t children;  // where its children start on `pending`
  };
  std::vector<Open> open;
  std::vector<std::uint32_t> pending;
  int depth = 0;  // of the collections open, in every document
  for (;;) {
    Event event;
    if (!(event.held = yaml_parser_parse(&parser.p, &event.e))) {
      const yaml_parser_t& p = parser.p;
      if (p.error == YAML_MEMORY_ERROR)
        return why = {ReadError::unreadable, {}, "out of memory"}, false;
      if (p.error == YAML_READER_ERROR)  // bytes that are no text: no line to tell
        return fault(
            {0, 0, "byte " + std::to_string(p.problem_offset + 1) + ": " + problem_of(p.problem)},
            false, why);
      return fault({p.problem_mark.line, p.problem_mark.column, problem_of(p.problem)}, true, why);
    }
    const yaml_event_t& e = event.e;
    const bool opens = e.type == YAML_SEQUENCE_START_EVENT || e.type == YAML_MAPPING_START_EVENT;
    if (e.type == YAML_STREAM_END_EVENT) return true;
    if (e.type == YAML_DOCUMENT_START_EVENT) ++documents_;
    if (e.type == YAML_SEQUENCE_END_EVENT || e.type == YAML_MAPPING_END_EVENT) --depth;
    if (opens && ++depth > max_depth + 1)  // a collection below level max_depth
      return why = {ReadError::too_deep, {}, std::to_string(max_depth)}, false;
    if (documents_ != 1 || e.type == YAML_DOCUMENT_START_EVENT ||
        e.type == YAML_DOCUMENT_END_EVENT || e.type == YAML_STREAM_START_EVENT)
      continue;
    if (e.type == YAML_SEQUENCE_END_EVENT || e.type == YAML_MAPPING_END_EVENT) {
      close(open.back().node, pending, open.back().children);
      open.pop_back();
      continue;
    }
    std::uint32_t index = static_cast<std::uint32_t>(nodes_.size());
    const yaml_char_t* anchor = nullptr;
    if (e.type == YAML_ALIAS_EVENT) {
      auto found = anchors.find(reinterpret_cast<const char*>(e.data.alias.anchor));
      if (found == anchors.end())
        return fault(
            {e.start_mark.line, e.start_mark.column, "the alias names no anchor before it"}, true,
            why);
      index = found->second;
    } else if (nodes_.size() >= node_limit) {
      return why = {ReadError::too_many_nodes, {}, std::to_string(nodes_per_byte)}, false;
    } else if (e.type == YAML_SCALAR_EVENT) {
      const auto& s = e.data.scalar;
      nodes_.push_back({Kind::scalar, s.style == YAML_PLAIN_SCALAR_STYLE && s.tag == nullptr,
                        static_cast<std::uint32_t>(texts_.size()),
                        static_cast<std::uint32_t>(s.length)});
      texts_.append(reinterpret_cast<const char*>(s.value), s.length);
      anchor = s.anchor;
    } else {
      const bool map = e.type == YAML_MAPPING_START_EVENT;
      nodes_.push_back({map ? Kind::map : Kind::sequence, false, 0, 0});
      anchor = map ? e.data.mapping_start.anchor : e.data.sequence_start.anchor;
    }
    if (anchor) anchors[reinterpret_cast<const char*>(anchor)] = index;
    if (!open.empty()) pending.push_back(index);
    if (opens) open.push_back({index, pending.size()});
  }
}

bool YamlDocument::parse(std::string_view text, ReadFailure& why) noexcept {
  return caught([&] { return build(text, why); }, why);
}

namespace {

// A decimal as the readers always took one: an optional sign, digits and
// a point in any place, an optional exponent, blanks after it and nothing
// else. One too small for a double is zero.
bool decimal(std::string_view s, double& x) {
  if (s.starts_with('+') && !s.starts_with("+-")) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  const std::size_t digit = s.starts_with('-') ? 1 : 0;
  if (s.size() <= digit || !(std::isdigit(static_cast<unsigned char>(s[digit])) || s[digit] == '.'))
    return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), x);
  if (end != s.data() + s.size()) return false;
  if (ec == std::errc::result_out_of_range) {
    const std::size_t e = s.find_first_of("eE");
    if (e == std::string_view::npos || s.substr(e + 1).starts_with('+') ||
        !s.substr(e + 1).starts_with('-'))
      return false;
    x = digit ? -0.0 : 0.0;
    return true;
  }
  return ec == std::errc();
}

// Digits in `base` (underscores passed over) as a double.
bool digits(std::string_view s, int base, double& x) {
  x = 0;
  bool any = false;
  for (char c : s) {
    if (c == '_') continue;
    const int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                  : c >= 'a' && c <= 'f'                      ? c - 'a' + 10
                  : c >= 'A' && c <= 'F'                      ? c - 'A' + 10
                                                              : base;
    if (d >= base) return false;
    x = x * base + d;
    any = true;
  }
  return any;
}

// The forms YAML 1.1 gives numbers beyond a plain decimal: underscores
// between digits, binary, octal and hexadecimal integers, and base 60
// ("1:30:15.5").
bool yaml11_number(std::string_view s, double& x) {
  const bool negative = s.starts_with('-');
  if (s.starts_with('-') || s.starts_with('+')) s.remove_prefix(1);
  bool ok = false;
  if (s.starts_with("0b")) {
    ok = digits(s.substr(2), 2, x);
  } else if (s.starts_with("0x")) {
    ok = digits(s.substr(2), 16, x);
  } else if (const std::size_t colon = s.find(':'); colon != std::string_view::npos) {
    ok = colon > 0 && s[0] != '0' && digits(s.substr(0, colon), 10, x);
    for (std::size_t i = colon; ok && i < s.size();) {
      const std::size_t next = std::min(s.find(':', i + 1), s.size());
      std::string_view part = s.substr(i + 1, next - i - 1);
      const std::size_t point = next == s.size() ? part.find('.') : std::string_view::npos;
      double sixtieths = 0, fraction = 0;
      ok = part.substr(0, point).size() <= 2 && digits(part.substr(0, point), 10, sixtieths) &&
           sixtieths < 60;
      if (ok && point != std::string_view::npos) {
        std::string f = "0";
        for (char c : part.substr(point))
          if (c != '_') f += c;
        ok = decimal(f, fraction);
      }
      x = x * 60 + sixtieths + fraction;
      i = next;
    }
  } else if (s.size() > 1 && s[0] == '0' && s.find_first_not_of("01234567_") == std::string::npos) {
    ok = digits(s.substr(1), 8, x);
  } else if (s.find('_') != std::string_view::npos && !s.starts_with('_')) {
    std::string plain;
    for (char c : s)
      if (c != '_') plain += c;
    ok = decimal(plain, x);
  }
  if (ok && negative) x = -x;
  return ok;
}

}  // namespace

bool yaml_number(const YamlNode& n, double& x) noexcept {
  if (!n.is_scalar()) return false;
  const std::string_view s = n.text();
  const std::string_view unsigned_s = s.substr(s.starts_with('-') || s.starts_with('+'));
  if (unsigned_s == ".inf" || unsigned_s == ".Inf" || unsigned_s == ".INF")
    return x = (s.starts_with('-') ? -1 : 1) * std::numeric_limits<double>::infinity(), true;
  if (s == ".nan" || s == ".NaN" || s == ".NAN")
    return x = std::numeric_limits<double>::quiet_NaN(), true;
  if (n.plain() && yaml11_number(s, x)) return true;
  return decimal(s, x);
}

}  // namespace tables
