// kvtool's command line: each command with its options, the refusals and
// their reasons, and the local times it reads.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "local_time.h"
#include "time_zone.h"
#include "tool/arguments.h"

namespace {

using kv::Time;
using kv::test::at;
using kv::tool::Format;
using kv::tool::Options;

std::string optionsError(const std::vector<std::string_view>& args) {
  const kv::tool::ParsedArguments parsed = kv::tool::parseArguments(args);
  const std::string* error = std::get_if<std::string>(&parsed);
  return error ? *error : std::string("(accepted)");
}

TEST(KvtoolArguments, ReadsEachCommandWithItsOptions) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const auto parsed =
      kv::tool::parseArguments({"next", "--count", "5", "--missed-starts", "a.KV",
                                "--from=2026-01-05T08:00", "--until", "2026-01-06"});
  ASSERT_TRUE(std::holds_alternative<Options>(parsed)) << std::get<std::string>(parsed);
  const Options& next = std::get<Options>(parsed);
  EXPECT_EQ(next.command, kv::tool::Command::Next);
  EXPECT_EQ(next.file, "a.KV");
  EXPECT_EQ(next.count, 5u);
  EXPECT_EQ(next.from, Time{1767600000});
  EXPECT_EQ(next.until, Time{1767657600});
  EXPECT_EQ(next.missedStarts, kv::MissedStarts::RunOnce);

  const auto list = std::get<Options>(kv::tool::parseArguments({"list", "-", "--format=tsv"}));
  EXPECT_EQ(list.file, "-");
  EXPECT_EQ(list.format, Format::Tsv);
  EXPECT_EQ(list.missedStarts, kv::MissedStarts::Skip);
  EXPECT_EQ(std::get<Options>(kv::tool::parseArguments({"check", "a.KV", "--missed-starts"}))
                .missedStarts,
            kv::MissedStarts::RunOnce);
  EXPECT_EQ(std::get<Options>(
                kv::tool::parseArguments({"check", "a.KV", "--record", "h.tsv", "--missed-starts"}))
                .record,
            "h.tsv");
  const auto history = std::get<Options>(kv::tool::parseArguments(
      {"history", "h.tsv", "--since", "2026-12-08", "--failed", "--count=3", "--format=tsv"}));
  EXPECT_EQ(history.since, at("2026-12-08"));
  EXPECT_TRUE(history.failedOnly);
  EXPECT_EQ(history.count, 3u);
  EXPECT_EQ(history.format, Format::Tsv);
  EXPECT_EQ(std::get<Options>(kv::tool::parseArguments({"list", "a.KV", "--code-page=1251"}))
                .codePage,
            1251u);
  // No file where kv.exe's own history is known.
  EXPECT_EQ(std::get<Options>(kv::tool::parseArguments({"history", "--failed"}, true)).file, "");
  EXPECT_EQ(std::get<Options>(kv::tool::parseArguments({"check", "x", "--help"})).command,
            kv::tool::Command::Help);
  EXPECT_EQ(std::get<Options>(kv::tool::parseArguments({"list", "--version"})).command,
            kv::tool::Command::Version);

  // --until alone lifts the cap of ten starts; --count keeps one; history has none.
  const struct {
    std::vector<std::string_view> args;
    std::optional<std::size_t> count;
  } counts[] = {
      {{"next", "a.KV"}, 10},
      {{"next", "a.KV", "--until", "2026-01-06"}, std::nullopt},
      {{"next", "a.KV", "--until", "2026-01-06", "--count", "3"}, 3},
      {{"next", "a.KV", "--count", "999999999"}, 999999999},
      {{"history", "-"}, std::nullopt},
  };
  for (const auto& c : counts) {
    EXPECT_EQ(std::get<Options>(kv::tool::parseArguments(c.args)).count, c.count) << c.args.size();
  }
}

TEST(KvtoolArguments, RefusesAWrongCommandLineWithItsReason) {
  KV_IN_TIME_ZONE(zone, "UTC");
  const struct {
    std::vector<std::string_view> args;
    const char* reason;
  } cases[] = {
      {{}, "no command given"},
      {{"show", "a.KV"}, "unknown command 'show'"},
      {{"list"}, "list needs a schedule file"},
      {{"list", "a.KV", "b.KV"}, "unexpected argument 'b.KV'"},
      {{"list", "a.KV", "--count", "3"}, "list takes no option '--count'"},
      {{"check", "a.KV", "--format=tsv"}, "check takes no option '--format'"},
      {{"list", "a.KV", "--missed-starts"}, "list takes no option '--missed-starts'"},
      {{"next", "a.KV", "--missed-starts=on"}, "--missed-starts takes no value"},
      {{"next", "a.KV", "--record", "h.tsv"}, "--record goes with --missed-starts"},
      {{"check", "-", "--missed-starts", "--record=h.tsv"}, "--record needs the schedule's file"},
      {{"next", "a.KV", "--missed-starts", "--record="}, "--record needs a file name"},
      {{"list", "a.KV", "--record", "h.tsv"}, "list takes no option '--record'"},
      {{"history", "--failed"}, "history needs a history file on Linux ('-' reads standard input)"},
      {{"history", "-", "--from", "2026-12-08"}, "history takes no option '--from'"},
      {{"list", "-", "--failed"}, "list takes no option '--failed'"},
      {{"next", "a.KV", "--count", "0"}, "--count needs a whole number from 1 up, not '0'"},
      {{"next", "a.KV", "--count"}, "--count needs a value"},
      {{"next", "a.KV", "--count", "x3"}, "--count needs a whole number from 1 up, not 'x3'"},
      {{"next", "a.KV", "--count", "1234567890"}, "--count needs a whole number from 1 up"},
      {{"list", "a.KV", "-x"}, "list takes no option '-x'"},
      {{"next", "a.KV", "--from", "2026-02-30T10:00"}, "--from needs a local date and time"},
      {{"list", "a.KV", "--format=csv"}, "--format is text or tsv, not 'csv'"},
      {{"next", "a.KV", "--code-page", "cp1251"}, "--code-page needs a code page number"},
      {{"history", "-", "--code-page", "1251"}, "history takes no option '--code-page'"},
      {{"next", "a.KV", "--from", "2026-01-05", "--until", "2026-01-04T23:59:59"},
       "--until 2026-01-04 23:59:59 is before --from 2026-01-05 00:00"},
      {{"check", "a.KV", "--at", "2200-01-01"},
       "--at: 2200-01-01 is outside 1970-01-01 00:00 to 2106-02-07 06:28:15"},
      {{"next", "a.KV", "--from", "2106-02-07T06:28:16"}, "--from: 2106-02-07T06:28:16 is outside"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(optionsError(c.args).rfind(c.reason, 0), 0u) << optionsError(c.args);
  }
}

TEST(KvtoolArguments, ReadsLocalTimesAsTheRecurrenceTreatsTheClock) {
  KV_IN_TIME_ZONE(zone, "America/New_York");
  // Inside the skipped hour: an hour later. Shown twice: the first instant (EDT).
  EXPECT_EQ(kv::tool::isoLocalTime(at("2026-03-08T02:30")), "2026-03-08T03:30:00");
  EXPECT_EQ(at("2026-11-01 01:30:15"), Time{1793511015});
  for (const char* wrong :
       {"2026-1-05", "2026-01-05X09:00", "2026-01-05T09-00", "2026-01-05T24:00", "2026-01-05T09",
        "2026-01-05T09:00:60", "26-01-05", "2026-01-05T09:0x"}) {
    EXPECT_FALSE(kv::tool::parseLocalTime(wrong).has_value()) << wrong;
  }
}

}  // namespace
