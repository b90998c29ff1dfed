// What the readers of YAML-based formats (HEPData tables, the headers of
// YODA objects) share in walking yaml-cpp's nodes and in catching what it
// throws.
#pragma once

#include <yaml-cpp/depthguard.h>
#include <yaml-cpp/yaml.h>

#include <new>
#include <string>

#include "tables/read.hpp"

namespace tables {

// A map's entry, or an undefined node for a missing key or a node that is
// not a map: yaml-cpp throws on subscripting a scalar, and on asking the
// type of the node it gives for a missing key.
inline YAML::Node at(const YAML::Node& n, const char* key) {
  if (!n.IsMap()) return YAML::Node(YAML::NodeType::Undefined);
  YAML::Node entry = n[key];
  return entry.IsDefined() ? entry : YAML::Node(YAML::NodeType::Undefined);
}

// Why reading stopped, from the exception being handled (called in a catch
// block): nesting beyond yaml-cpp's guard, text that is no YAML, memory.
inline ReadFailure failure_in_flight() {
  try {
    throw;
  } catch (const YAML::DeepRecursion&) {
    return {ReadError::too_deep, std::to_string(max_depth)};
  } catch (const YAML::ParserException& e) {
    return {ReadError::not_yaml, "line " + std::to_string(e.mark.line + 1) + ", column " +
                                     std::to_string(e.mark.column + 1) + ": " + e.msg};
  } catch (const std::bad_alloc&) {
    return {ReadError::unreadable, "out of memory"};
  } catch (const std::exception& e) {
    return {ReadError::not_yaml, e.what()};
  }
}

}  // namespace tables
