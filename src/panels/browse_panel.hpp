// The browse panel: drive, folder and executable lists for picking a target
// by walking the disk instead of typing its path.
#pragma once

#include <string>
#include <vector>

#include "panels/panel.hpp"

namespace corvane {

class BrowsePanel : public Panel {
public:
    BrowsePanel(const Theme& theme, PanelHost& host) : Panel(kBrowsePanel, theme, host) {}

    // The folder the lists show when first opened: the one Corvane started
    // in. Nothing reads the disk until Open, so start-up never pays for a
    // large folder.
    void RememberStartFolder();
    // Fills the lists the first time the panel is opened.
    void Open();
    void OnEnter() override;

private:
    void OnCommand(int id, int code) override;
    void FillDrives();
    bool ShowFolder(const std::string& path);
    bool ShowFiles(const std::string& path);
    void OnDriveChange();
    void OnFolderOpen();
    void OnRefresh();
    void OnOk();
    void SelectFile(const std::string& name);

    std::string startFolder_;
    bool filled_ = false;
    std::string folder_;                    // as the folder list reports it
    std::vector<std::string> folderPaths_;  // the full path of each folder list line
    std::string filesFolder_;
    std::vector<std::string> drives_;  // "c:\" etc., parallel to the drive list
};

}  // namespace corvane
