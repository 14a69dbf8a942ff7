// What the tests that launch pin_target.exe through the window share: a test
// folder, the window, copies of the target under the names a test needs, and
// the end of every process a test caused.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "support/harness.hpp"
#include "support/pin_target_client.hpp"

namespace corvane::test {

// The file name part of a path.
std::string NameOf(const std::string& path);

// ANSI (the system code page) to UTF-16.
std::wstring Wide(const std::string& ansi);

// Lower case in code page 1252 as the system folds it, written out here so
// that expectations do not come from the program's own tables: ASCII A-Z and
// the accented capitals 0xC0..0xDE but the multiplication sign 0xD7.
std::string Lower1252(std::string_view s);

// Running processes with this image name (letter case ignored), as the
// tool-help snapshot lists them: a view of the system that does not go
// through the program's own enumeration.
std::vector<DWORD> ProcessesNamed(const std::wstring& image);
std::vector<DWORD> ProcessesNamed(const std::string& image);

class LaunchFixture : public testing::Test {
protected:
    // Ends every process a test started or placed, before its folder goes.
    void TearDown() override;

    // A copy of pin_target.exe at `relative` under the test folder (folders
    // made as needed); returns its full path. TearDown ends its image name.
    std::string PlaceTarget(const std::string& relative);

    // Image names that TearDown ends, even for targets the test never placed.
    void Track(const std::string& path);

    // Starts a placed target directly, not through Corvane; returns its pid
    // once it runs and has reported.
    DWORD StartDirectly(const std::string& path, const std::string& args = {});

    // One record of the Favorites file, as Save writes it.
    static std::string Record(const std::string& title, int cpu, const std::string& target,
                              const std::string& startIn, const std::string& params = "None");

    // A double click on the notification-area icon: the hidden window returns.
    void BringBack() const;

    int State() const { return app_.win().WindowState(); }
    bool Shown() const { return IsWindowVisible(app_.hwnd()) != FALSE; }

    TempDir dir_;
    App app_;
    std::vector<std::wstring> images_;
    std::vector<DWORD> strays_;  // processes the shell started for a test, by id
    std::vector<HANDLE> started_;
};

}  // namespace corvane::test
