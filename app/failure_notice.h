// How the user hears of a start that failed, or of a program that ended
// with an exit code other than 0: a balloon from the notification-area
// icon, and for a failed start the box as well, unless the window is hidden
// and the balloon stands in for it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "app/settings.h"
#include "engine/history.h"
#include "engine/launcher.h"

namespace kv {

struct Balloon {
  std::string title;
  std::string text;
  bool operator==(const Balloon&) const = default;
};

// At most one balloon at a time. While one shows, a further failure updates
// it ("3 failures; the last: exited 1 after 3 s", titled with the last
// entry's description); once it goes, the count starts again.
class FailureBalloon {
 public:
  // The balloon to show for a record that needs attention, new or updated;
  // nothing with Notify on Failure off, and such a failure is not counted.
  std::optional<Balloon> failed(const HistoryRecord& record, bool notifyOnFailure);
  // The balloon timed out, was closed or clicked, or never came.
  void gone() { failures_ = 0; }
  bool showing() const { return failures_ > 0; }

 private:
  int failures_ = 0;
};

// A failed start's box, unless the balloon stands in for it: the box comes
// while the window shows, and while it is hidden only with Notify on
// Failure off, for then no balloon comes either. Both are asked anew at
// each failure.
class UnseenFailureReporter final : public FailureReporter {
 public:
  UnseenFailureReporter(FailureReporter& box, std::function<bool()> windowHidden,
                        const Settings& settings)
      : box_(box), windowHidden_(std::move(windowHidden)), settings_(settings) {}
  void reportLaunchFailure(const std::string& text, const std::string& caption) override;

 private:
  FailureReporter& box_;
  std::function<bool()> windowHidden_;
  const Settings& settings_;
};

}  // namespace kv
