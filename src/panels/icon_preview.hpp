// The icon of a favorite's executable, shown in the favorites panel.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "platform/handles.hpp"

namespace corvane {

// The icon image of `file` at `index` as a picture object that owns its icon
// handle; an empty pointer when the file has no such icon. The image not
// chosen is destroyed at once.
ComPtr<IPicture> GetIconFromFile(const std::string& file, int index, bool large);

// The icon handle a picture shows (owned by the picture), or null.
HICON PictureIcon(IPicture* picture);

}  // namespace corvane
