#include "app/help_page.h"

#include <cstdio>

namespace kv {

const char* helpPageAnchor(HelpTopic topic) {
  switch (topic) {
    case HelpTopic::Contents:
      return "contents";
    case HelpTopic::Search:
      return "search";
    case HelpTopic::HowToUseHelp:
      return "using-help";
    case HelpTopic::EntryDialog:
      return "entry-dialog";
  }
  return "contents";
}

std::string fileAddress(std::string_view windowsPath) {
  std::string address = "file:///";
  for (char c : windowsPath) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                       (byte >= '0' && byte <= '9') ||
                       std::string_view("-._~:/").find(c) != std::string_view::npos;
    if (c == '\\') {
      address += '/';
    } else if (plain) {
      address += c;
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
      address += escaped;
    }
  }
  return address;
}

std::string helpPageMissingText(std::string_view pagePath) {
  return "No program could open the help page " + std::string(pagePath) +
         ".\nOpen it with your web browser.";
}

}  // namespace kv
