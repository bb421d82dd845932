#pragma once
// A local time as kvtool's options read it, for tests that write times as
// people do.
#include <gtest/gtest.h>

#include <optional>

#include "tool/arguments.h"

namespace kv::test {

inline kv::Time at(const char* localTime) {
  const std::optional<kv::Time> t = kv::tool::parseLocalTime(localTime);
  EXPECT_TRUE(t.has_value()) << localTime;
  return t.value_or(0);
}

}  // namespace kv::test
