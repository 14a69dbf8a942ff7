// The window tests' fixture: the real main window in a fresh folder, its fields at a glance, and the favourites
// that the window tests start from.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/harness.hpp"

namespace corvane::test {

inline std::string Trimmed(std::string s) {
    return s.substr(s.find_first_not_of(' '));
}

inline std::string WithDir(std::string s, const TempDir& dir) {  // "%D": the test's own folder, new on every run
    for (std::size_t at; (at = s.find("%D")) != std::string::npos;)
        s.replace(at, 2, dir.path());
    return s;
}

class WindowTest : public testing::Test {
protected:
    App& Start(std::optional<std::string> favorites = std::nullopt) {
        if (favorites) {
            EXPECT_TRUE(WriteBytes(dir.Join("Favorites"), WithDir(*favorites, dir)));
        }
        app.emplace();
        EXPECT_TRUE(app->Start());
        return *app;
    }
    std::string Fields() const {  // title|target|start in|parameters
        return app->Text(kTitleEdit) + "|" + app->Text(kTargetEdit) + "|" + app->Text(kStartInEdit) + "|" +
               app->Text(kParametersEdit);
    }
    std::string Saved(const char* name = "Favorites") {
        EXPECT_TRUE(app->Close());
        return ReadBytes(dir.Join(name)).value_or("<missing>");
    }
    void Type(int id, const std::string& text) { app->SetText(id, WithDir(text, dir)); }

    TempDir dir;
    std::optional<App> app;
};

inline const std::string kChess = Record("Chess on CPU 1", "1__%D\\game.exe", "%D", "-w");
inline const std::string kGo = Record("Go on Default", "2__c:\\go\\go.exe", "c:\\go", "None");

}  // namespace corvane::test
