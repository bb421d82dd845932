// Message boxes that record what they were asked to show and answer from a
// list, for the tests of the program's decisions.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "schedule/message_boxes.h"

namespace kvtest {

class FakeMessageBoxes : public kv::MessageBoxes {
 public:
  // Answered in turn; once they run out, the first button (OK or Yes).
  std::vector<kv::BoxAnswer> answers;
  std::vector<kv::BoxRequest> shown;
  // Runs while a box is shown, as the box's own message loop would run
  // whatever the program does meanwhile.
  std::function<void(const kv::BoxRequest&)> whileShown;

  kv::BoxAnswer show(const kv::BoxRequest& box) override {
    shown.push_back(box);
    if (whileShown) whileShown(box);
    const std::size_t turn = shown.size() - 1;
    if (turn < answers.size()) return answers[turn];
    return box.buttons == kv::BoxButtons::YesNo || box.buttons == kv::BoxButtons::YesNoCancel
               ? kv::BoxAnswer::Yes
               : kv::BoxAnswer::Ok;
  }
  std::vector<std::string> texts() const {
    std::vector<std::string> all;
    for (const kv::BoxRequest& box : shown) all.push_back(box.text);
    return all;
  }
};

}  // namespace kvtest
