// How text must be written for the shell and the menus to read it back as
// it was meant: a file name, a program's argument, a menu item. Pure rules,
// apart from Windows.
#pragma once

#include <string>
#include <string_view>

#include "platform/paths.hpp"

namespace corvane {

// `text` as a file name can hold it: each of \ / : * ? " < > | and every
// control character becomes '_'. The second byte of a double-byte character
// (one after a byte of `lead`) stays as it is, even where its value is a
// backslash or a bar.
std::string FileNameFrom(std::string_view text, const LeadBytes& lead = {});

// `text` as one argument of a command line that the C runtime (and
// CommandLineToArgvW) splits back into exactly `text`: in double quotes,
// with each quote escaped by a backslash and the backslashes that precede a
// quote, or the closing one, doubled.
std::string QuotedArgument(std::string_view text);

// `text` as a menu item shows it unchanged: each '&' doubled, so that none
// is taken for the mark of an access key.
std::string MenuItemText(std::string_view text);

}  // namespace corvane
