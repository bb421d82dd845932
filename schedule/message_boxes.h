// Message boxes as the program's decisions see them: a text, a caption,
// buttons, an icon and a modality in, the button pressed out. The Win32
// adapter shows them; tests answer them with a fake.
#pragma once

#include <string>

namespace kv {

enum class BoxButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class BoxIcon { None, Exclamation, Stop, Information };
// Owned: owned by the window the boxes belong to, modal to it. Task: no
// owner, modal to every window of the program. System: owned, and above
// every other program's windows.
enum class BoxModality { Owned, Task, System };
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
