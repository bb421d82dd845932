// Local clock texts "YYYY-MM-DD HH:MM:SS" for the tests, both ways, in the
// zone the test runs in.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

#include "engine/calendar.h"

namespace kvtest {

inline kv::LocalTime fieldsOf(const char* text) {
  kv::LocalTime f;
  const int read = std::sscanf(text, "%d-%d-%d %d:%d:%d", &f.year, &f.month, &f.day, &f.hour,
                               &f.minute, &f.second);
  EXPECT_EQ(read, 6) << text;
  return f;
}

// The instant of a local clock text.
inline kv::Time at(const char* text) {
  const std::optional<kv::Time> t = kv::fromLocalClock(fieldsOf(text));
  EXPECT_TRUE(t.has_value()) << text;
  return t.value_or(0);
}

inline std::string shown(kv::Time t) {
  const kv::LocalTime f = kv::toLocalTime(t);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", f.year, f.month, f.day, f.hour,
                f.minute, f.second);
  return text;
}

}  // namespace kvtest
