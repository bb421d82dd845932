// Runs a test in a given time zone.
//
// Natively the zone is set through TZ for the duration of the scope. Under
// the Windows runtime the zone cannot be changed from inside the process: the
// test run is started in one zone (see the Wine test set-up), and a test that
// asks for another zone is skipped there.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace kvtest {

#ifdef _WIN32
// The zone the Wine run was started in (set by the test main before it
// clears TZ from the runtime's environment).
const std::string& processTimeZone();
#endif

class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
#ifdef _WIN32
    active_ = processTimeZone() == zone;
#else
    if (const char* old = std::getenv("TZ")) {
      hadOld_ = true;
      old_ = old;
    }
    setenv("TZ", zone, 1);
    tzset();
    active_ = true;
#endif
  }
  ~ScopedTimeZone() {
#ifndef _WIN32
    if (hadOld_) {
      setenv("TZ", old_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
#endif
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

  // False when this run cannot be in the zone; the test then skips.
  bool active() const {
    return active_;
  }

 private:
  bool active_ = false;
  bool hadOld_ = false;
  std::string old_;
};

}  // namespace kvtest

// Declares a ScopedTimeZone named `var` and skips the test when the zone
// cannot be had in this run.
#define KV_IN_TIME_ZONE(var, zone)                 \
  ::kvtest::ScopedTimeZone var(zone);              \
  if (!var.active()) {                             \
    GTEST_SKIP() << "run is not in zone " << zone; \
  }                                                \
  static_assert(true)
