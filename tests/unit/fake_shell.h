// A shell and a failure reporter that only record, for tests of whatever
// launches entries.
//
// Both can run a hook from inside the call, standing in for the nested
// message loop in which a timer tick re-enters the due check.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/launcher.h"

namespace kvtest {

class FakeShell : public kv::Shell {
 public:
  struct Call {
    std::string verb;
    std::string file;
    std::string parameters;
    std::string directory;
    int showCommand = 0;
  };

  std::vector<Call> calls;
  // The result for a file; any other file gets `defaultResult` (a success).
  std::map<std::string, unsigned> resultFor;
  unsigned defaultResult = 42;
  // Runs inside the start, after the call is recorded.
  std::function<void(const Call&)> duringExecute;
  // Hands back a process for every successful start, numbered from 1.
  bool startsProcesses = false;
  kv::ProcessToken lastProcess = kv::kNoProcess;
  std::vector<kv::ProcessToken> released;

  kv::ShellStart start(const std::string& verb, const std::string& file,
                       const std::string& parameters, const std::string& directory,
                       int showCommand) override {
    const Call call{verb, file, parameters, directory, showCommand};
    calls.push_back(call);
    if (duringExecute) duringExecute(call);
    const auto found = resultFor.find(file);
    const unsigned result = found == resultFor.end() ? defaultResult : found->second;
    if (!startsProcesses || result < 32) return kv::ShellStart{result};
    return kv::ShellStart{result, ++lastProcess};
  }
  void release(kv::ProcessToken process) override { released.push_back(process); }

  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const Call& call : calls) names.push_back(call.file);
    return names;
  }
};

class FakeReporter : public kv::FailureReporter {
 public:
  struct Report {
    std::string text;
    std::string caption;
  };

  std::vector<Report> reports;
  // Runs while the report is "shown", after it is recorded.
  std::function<void(const Report&)> whileShown;

  void reportLaunchFailure(const std::string& text, const std::string& caption) override {
    const Report report{text, caption};
    reports.push_back(report);
    if (whileShown) whileShown(report);
  }
};

}  // namespace kvtest
