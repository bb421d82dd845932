// Test main for the programs that run under Wine.
//
// Wine copies the Linux TZ into the Windows environment, where the C runtime
// misreads a name such as Europe/Berlin. The zone is remembered for the
// tests and removed from the runtime's environment, which then follows the
// Windows time zone that Wine derived from the same TZ.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace kvtest {
namespace {
std::string& zoneStorage() {
  static std::string zone;
  return zone;
}
}  // namespace

const std::string& processTimeZone() {
  return zoneStorage();
}
}  // namespace kvtest

int main(int argc, char** argv) {
  if (const char* tz = std::getenv("TZ")) kvtest::zoneStorage() = tz;
  if (kvtest::zoneStorage().empty()) kvtest::zoneStorage() = "UTC";
  _putenv("TZ=");
  SetEnvironmentVariableA("TZ", nullptr);
  _tzset();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
