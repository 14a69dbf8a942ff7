#include "editor/icon_preview.hpp"

#include <shellapi.h>

#include "app/main_window.hpp"
#include "platform/lazy_proc.hpp"
#include "platform/shell.hpp"

namespace corvane {

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(PICTDESC) == 20, "icon picture description is 20 bytes in a 32-bit process");
#endif

ComPtr<IPicture> GetIconFromFile(const std::string& FileName, int IconIndex, bool UseLargeIcon) {
    HICON large = nullptr;
    HICON small = nullptr;
    const UINT extracted = shell::ExtractIcons(FileName.c_str(), IconIndex, &large, &small);
    if (static_cast<int>(extracted) <= 0) return {};
    // From here both handles are ours until the picture takes one of them.
    UniqueHicon largeOwner(large);
    UniqueHicon smallOwner(small);
    UniqueHicon& chosen = UseLargeIcon ? largeOwner : smallOwner;
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
    chosen.release();  // the picture owns it now and destroys it when released
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

HICON MainWindow::previewIcon() const { return PictureIcon(picture_.get()); }

void MainWindow::ClearPicture() {
    picture_.reset();
    InvalidateRect(control(kPicture1), nullptr, TRUE);
}

void MainWindow::CreateIcon() {
    ClearPicture();
    picture_ = GetIconFromFile(Text(kText1), 0, true);
    InvalidateRect(control(kPicture1), nullptr, TRUE);
}

}  // namespace corvane
