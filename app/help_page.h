// Kivro's help page: the places it opens at and how it is addressed.
#pragma once

#include <string>
#include <string_view>

namespace kv {

// The places the help opens at.
enum class HelpTopic { Contents, Search, HowToUseHelp, EntryDialog };

// The id of the page's section for a topic ("contents", "entry-dialog"...).
const char* helpPageAnchor(HelpTopic topic);

// A file:/// address for a Windows path: backslashes become slashes, and
// bytes that an address cannot hold as they are (blanks, '#', '%', the UTF-8
// bytes of letters beyond ASCII) are written as %XX, as browsers read them.
std::string fileAddress(std::string_view windowsPath);

// The message shown when no program opens the page.
std::string helpPageMissingText(std::string_view pagePath);

}  // namespace kv
