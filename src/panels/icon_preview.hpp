// The icon of a favorite's executable, shown in the favorites panel.
#pragma once

#include <windows.h>

#include <string>

#include "platform/handles.hpp"

namespace corvane {

// The icon image of `file` at `index`, large or small; empty when the file
// has no such icon. The image not chosen is destroyed at once.
UniqueIcon GetIconFromFile(const std::string& file, int index, bool large);

}  // namespace corvane
