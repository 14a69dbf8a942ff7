// The editor panel: the fields of one favorite (core, title, target,
// parameters, start-in folder), the start-in folder and title that follow
// the target, and executables dropped on the target field.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "favorites/favorite.hpp"
#include "panels/panel.hpp"
#include "platform/control_hook.hpp"

namespace corvane {

class EditorPanel : public Panel {
public:
    EditorPanel(const Theme& theme, PanelHost& host) : Panel(kEditorPanel, theme, host) {}

    // The core is the option buttons'.
    FavoriteFields Fields() const;
    std::string Target() const;

    // Every setter that touches the target runs its change handling, which
    // lets other events run.
    Alive Load(const FavoriteFields& fields);
    Alive SetTarget(std::string_view target);
    void SetStartIn(std::string_view folder);
    // What Save stores: line breaks dropped, spaces trimmed, field by field.
    Alive CleanFieldsForSave();
    // Empties target, start-in folder, title and parameters, in that order.
    Alive Clear();
    // An empty parameters field becomes "None", as it was stored.
    void MarkNoParameters();
    void FocusTitle();

private:
    bool OnControlsCreated() override;
    void OnCommand(int id, int code) override;
    void OnTargetChanged();
    void OnDropFiles(HDROP drop);
    std::string Text(int id) const;
    bool IsChecked(int id) const;

    ControlHook targetHook_;
    std::string targetSeen_;  // the target as its change handling last saw it
};

}  // namespace corvane
