// Hands an owned object over as a derived type. The object passes to the
// result only when it is of that type and is destroyed otherwise, so that a
// failed cast never leaks what was handed in.
#pragma once

#include <memory>

template <typename To, typename From>
std::unique_ptr<To> UniqueCast(std::unique_ptr<From> owned) {
  To* cast = dynamic_cast<To*>(owned.get());
  if (cast == nullptr) return nullptr;
  owned.release();
  return std::unique_ptr<To>(cast);
}
