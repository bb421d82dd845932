// Message boxes as the program's decisions see them: a text, a caption,
// buttons, an icon and a modality in, the button pressed out. The Win32
// adapter shows them; tests answer them with a fake.
#pragma once

#include <string>

namespace kv {

enum class BoxButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class BoxIcon { None, Exclamation, Stop, Information };
enum class BoxModality {
  Owned,        // owned by the window the boxes belong to, and modal to it
  TaskOwned,    // owned, and modal to every window of the program
  TaskUnowned,  // no owner, modal to every window of the program
  System,       // owned, and above the windows of every other program
};
enum class BoxAnswer { Ok, Cancel, Yes, No };

struct BoxRequest {
  std::string text;
  std::string caption;  // empty: the system's default caption
  BoxButtons buttons = BoxButtons::Ok;
  BoxIcon icon = BoxIcon::None;
  BoxModality modality = BoxModality::Owned;
};

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows the box and returns once the user has answered it.
  virtual BoxAnswer show(const BoxRequest& box) = 0;
};

}  // namespace kv
