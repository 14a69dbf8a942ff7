#include "panels/icon_preview.hpp"

#include <shellapi.h>

#include "platform/lazy_proc.hpp"
#include "platform/shell.hpp"

namespace corvane {

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(PICTDESC) == 20, "icon picture description is 20 bytes in a 32-bit process");
#endif

ComPtr<IPicture> GetIconFromFile(const std::string& file, int index, bool large) {
    HICON largeIcon = nullptr;
    HICON smallIcon = nullptr;
    const UINT extracted = shell::ExtractIcons(file.c_str(), index, &largeIcon, &smallIcon);
    if (static_cast<int>(extracted) <= 0) return {};
    // From here both handles are ours until the picture takes one of them.
    UniqueIcon largeOwner(largeIcon);
    UniqueIcon smallOwner(smallIcon);
    UniqueIcon& chosen = large ? largeOwner : smallOwner;
    if (!chosen) return {};

    // oleaut32 is loaded with the first preview, after the window shows.
    static const auto oleCreatePictureIndirect =
        LoadSystemProc<decltype(&OleCreatePictureIndirect)>("oleaut32.dll", "OleCreatePictureIndirect");
    if (!oleCreatePictureIndirect) return {};

    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof(PICTDESC);
    desc.picType = PICTYPE_ICON;
    desc.icon.hicon = chosen.get();
    ComPtr<IDispatch> dispatch;
    if (FAILED(oleCreatePictureIndirect(&desc, IID_IDispatch, TRUE, reinterpret_cast<void**>(dispatch.put()))) ||
        !dispatch)
        return {};
    (void)chosen.release();  // the picture owns it now and destroys it when released
    ComPtr<IPicture> picture;
    if (FAILED(dispatch->QueryInterface(IID_IPicture, reinterpret_cast<void**>(picture.put())))) return {};
    return picture;
}

HICON PictureIcon(IPicture* picture) {
    if (!picture) return nullptr;
    OLE_HANDLE handle = 0;
    if (FAILED(picture->get_Handle(&handle))) return nullptr;
    return reinterpret_cast<HICON>(static_cast<UINT_PTR>(handle));
}

}  // namespace corvane
