#include "panels/editor_panel.hpp"

#include "panels/browse_rules.hpp"
#include "platform/shell.hpp"
#include "platform/win.hpp"

namespace corvane {

namespace {
constexpr int kFieldsInClearOrder[] = {kTargetEdit, kStartInEdit, kTitleEdit, kParametersEdit};
}  // namespace

std::string EditorPanel::Text(int id) const {
    return GetText(control(id));
}

bool EditorPanel::IsChecked(int id) const {
    return SendMessageA(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

FavoriteFields EditorPanel::Fields() const {
    return FavoriteFields{Text(kTitleEdit), Text(kTargetEdit), Text(kStartInEdit), Text(kParametersEdit),
                          CodeFromOptions(IsChecked(kCpu0Option), IsChecked(kDefaultOption))};
}

std::string EditorPanel::Target() const {
    return Text(kTargetEdit);
}

bool EditorPanel::OnControlsCreated() {
    SendMessageA(control(kCpu0Option), BM_SETCHECK, BST_CHECKED, 0);
    // The field takes dropped files by its style (the layout's kTakesFiles).
    return targetHook_.Attach(control(kTargetEdit), [this](UINT msg, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
        if (msg != WM_DROPFILES) return std::nullopt;
        OnDropFiles(reinterpret_cast<HDROP>(wp));
        return 0;
    });
}

Alive EditorPanel::Load(const FavoriteFields& fields) {
    SetText(control(kTitleEdit), fields.title);
    if (!SetTarget(fields.target)) return Alive(false);
    SetText(control(kStartInEdit), fields.startIn);
    SetText(control(kParametersEdit), fields.parameters);
    const int option = static_cast<int>(fields.core);
    const int options[] = {kCpu0Option, kCpu1Option, kDefaultOption};
    for (int i = 0; i < 3; ++i)
        SendMessageA(control(options[i]), BM_SETCHECK, i == option ? BST_CHECKED : BST_UNCHECKED, 0);
    return Alive(true);
}

Alive EditorPanel::SetTarget(std::string_view target) {
    SetText(control(kTargetEdit), target);
    return alive();
}

void EditorPanel::SetStartIn(std::string_view folder) {
    SetText(control(kStartInEdit), folder);
}

Alive EditorPanel::CleanFieldsForSave() {
    for (int id : kFieldsInClearOrder) {
        SetText(control(id), SavedField(Text(id)));
        if (!hwnd()) return Alive(false);
    }
    return Alive(true);
}

Alive EditorPanel::Clear() {
    for (int id : kFieldsInClearOrder) {
        SetText(control(id), "");
        if (!hwnd()) return Alive(false);
    }
    return Alive(true);
}

void EditorPanel::MarkNoParameters() {
    if (Text(kParametersEdit).empty()) SetText(control(kParametersEdit), kNoParameters);
}

void EditorPanel::FocusTitle() {
    HWND title = control(kTitleEdit);
    SetFocus(title);
    const int length = GetWindowTextLengthA(title);
    SendMessageA(title, EM_SETSEL, static_cast<WPARAM>(length), length);
}

void EditorPanel::OnCommand(int id, int code) {
    switch (id) {
    case kSaveButton:
        if (code == BN_CLICKED) (void)Request(&PanelHost::Save);  // nothing follows
        break;
    case kClearButton:
        if (code == BN_CLICKED) (void)Clear();  // nothing follows
        break;
    case kCancelButton:
        if (code == BN_CLICKED) (void)Request(&PanelHost::CloseEditor);  // nothing follows
        break;
    case kTargetEdit:
        if (code == EN_CHANGE) OnTargetChanged();
        break;
    case kTargetLabel:
        if (code == STN_CLICKED) (void)Request(&PanelHost::OpenBrowser);  // nothing follows
        break;
    default:
        break;
    }
}

void EditorPanel::OnTargetChanged() {
    // The edit control reports a change for every WM_SETTEXT, also one that
    // leaves the text as it was (another program, a paste of the same text);
    // only a real change may overwrite the start-in folder.
    std::string target = Text(kTargetEdit);
    if (target == targetSeen_) return;
    targetSeen_ = std::move(target);
    SetText(control(kStartInEdit), FolderOf(targetSeen_, SystemLower().lead));
    if (!DoEvents()) return;
    if (Text(kTitleEdit).empty()) SetText(control(kTitleEdit), FileNameOf(Text(kStartInEdit), SystemLower().lead));
}

void EditorPanel::OnDropFiles(HDROP drop) {
    // Only the first file counts, and only if it is an executable.
    if (const auto target = DroppedTarget(shell::TakeFirstDroppedFile(drop)))
        (void)SetTarget(*target);  // nothing follows
}

}  // namespace corvane
