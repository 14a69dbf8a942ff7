// What a panel may ask of the window that holds it. The window implements
// this; panels know only the interface, never the window.
#pragma once

#include <string>

namespace corvane {

// What OK in the browse panel hands up.
struct ChosenTarget {
    std::string program;  // lower-cased full path of the chosen executable
    std::string folder;   // the folder it is in, as the folder list shows it
};

// Any of these may let events run, and the asking panel's window may be gone
// when it returns.
class PanelHost {
public:
    virtual void OnSelectionChanged() = 0;  // the favorites list's selection changed (by the user or the program)
    virtual void Launch() = 0;              // launch the current favorite
    virtual void OpenEditor() = 0;          // Add
    virtual void Remove(int index) = 0;     // Remove, on the list's entry `index` (-1: none selected)
    virtual void Save() = 0;                // save the editor's fields as a new favorite
    virtual void CloseEditor() = 0;         // Cancel in the editor
    virtual void OpenBrowser() = 0;         // the target label was clicked
    virtual void TargetChosen(const ChosenTarget& chosen) = 0;
    virtual void CloseBrowser() = 0;  // Cancel in the browse panel
    // A desktop shortcut that launches the list's entry `index` (-1: none selected).
    virtual void CreateShortcut(int index) = 0;

protected:
    ~PanelHost() = default;
};

}  // namespace corvane
