#!/usr/bin/env python3
"""Planted-fault catalogue for Corvane: plant one fault at a time, rebuild, run the suite, restore.

usage: tools/plant_faults.py TREE [--only ID,ID...] [--kind pure|win32] [--out FILE] [--baseline] [--list]

For every fault the file is copied, the exact old text (which must occur exactly once) is replaced, the
tree is rebuilt and its tests are run:
  pure faults:  cmake --build --preset native -j2 ; ctest --preset native
  win32 faults: cmake --build --preset win64 -j2 ; env -u DISPLAY scripts/with-display.sh ctest --preset win64
                --timeout 200
The result is "caught" (some test failed), "survived" (all passed), "did-not-build" or "not-applicable"
(the old text is not in the tree exactly once: adapt that row by hand). The file is always restored.
Results go to --out (default build/faults.txt in the tree), one line per fault, merged with earlier runs of
the same file so the catalogue can be run in parts; --baseline first checks that the untouched tree passes.
"""
import argparse
import os
import re
import signal
import subprocess
import sys
import time

PURE, WIN32 = "pure", "win32"
TESTS = ""

# (id, kind, file, old text, new text, description)
FAULTS = [
    # ------------------------------------------------------------------ pure rules
    ("P1", PURE, "src/favorites/favorites_file.cpp",
     "    if (pos_ != end_ && *pos_ == '\\n') ++pos_;\n", "",
     "file codec: the LF of a CR LF line end is not skipped and starts the next field"),
    ("P2", PURE, "src/favorites/favorites_file.cpp",
     "if (c != '\\r') out.push_back(c);", "out.push_back(c);",
     "file codec: a field's typed CR is written into the file and ends a line there"),
    ("P3", PURE, "src/favorites/favorite.cpp",
     "    if (core == Core::Default) {\n        text += \" on Default\";",
     "    if (core > Core::Default) {\n        text += \" on Default\";",
     "display text: Default is shown as \"on CPU 2\""),
    ("P4", PURE, "src/favorites/favorite.cpp",
     "return std::string(coded.substr(3));", "return std::string(coded.substr(2));",
     "coded text: the target keeps the second underscore (off by one)"),
    ("P5", PURE, "src/favorites/favorite.cpp",
     "display.substr(0, display.find(\" on\"))", "display.substr(0, display.rfind(\" on\"))",
     "display text: the title is cut at the last \" on\" instead of the first"),
    ("P6", PURE, "src/favorites/favorite.cpp",
     "    if (useDefault) return Core::Default;\n    return cpu0 ? Core::Cpu0 : Core::Cpu1;",
     "    if (cpu0) return Core::Cpu0;\n    return useDefault ? Core::Default : Core::Cpu1;",
     "CPU codes: the option buttons are tested in the wrong order (CPU 0 beats Default)"),
    ("P7", PURE, "src/favorites/favorite.cpp",
     "TrimSpaces(startIn).size() >= kMinStartIn", "startIn.size() >= kMinStartIn",
     "required fields: the start-in folder is measured untrimmed"),
    ("P8", PURE, "src/launcher/launch_logic.cpp",
     "for (unsigned b = 0; b < 31; ++b) {", "for (unsigned b = 0; b < 30; ++b) {",
     "masks: bit 30 is never reported (off by one)"),
    ("P9", PURE, "src/launcher/launch_logic.cpp",
     "if (text.empty() || text == \"None\") return std::nullopt;", "if (text == \"None\") return std::nullopt;",
     "parameters: an empty field is passed as an empty parameter string"),
    ("P10", PURE, "src/launcher/launch_logic.cpp",
     "if (r.pid != 0 && MatchesFolded(r.name, wanted, upper)) found = r.pid;",
     "if (found == 0 && r.pid != 0 && MatchesFolded(r.name, wanted, upper)) found = r.pid;",
     "process-name match: the first of two same-named processes is taken, not the last"),
    ("P11", PURE, "src/launcher/launch_logic.cpp",
     "if (++i < text.size() && text[i] != folded[i]) return false;", "++i;",
     "process-name match: a double-byte character's trail byte is not compared"),
    ("P12", PURE, "src/launcher/launch_logic.cpp",
     "LastSeparator(imagePath, \"\\\\/\", upper.lead)", "LastSeparator(imagePath, \"\\\\\", upper.lead)",
     "process-name match: a forward slash in the image path is not a separator"),
    ("P13", PURE, "src/launcher/launch_logic.cpp",
     "if (now > previous) elapsed += now - previous;", "elapsed += now - previous;",
     "the pause's clock: a clock set back counts as a huge forward step"),
    ("P14", PURE, "src/launcher/launch_logic.cpp",
     "if (hooks.windowState() != WindowState::Normal) break;",
     "if (hooks.windowState() == WindowState::Minimised) break;",
     "pin attempts: a maximised window does not end them"),
    ("P15", PURE, "src/platform/paths.cpp",
     "        if (lead[static_cast<unsigned char>(path[i])])\n            ++i;\n        else if (separators",
     "        if (separators",
     "double-byte path split: a trail byte 0x5C is taken for a backslash"),
    ("P16", PURE, "src/panels/browse_rules.cpp",
     "p = slash == 2 && p[1] == ':' ? p.substr(0, 3) : p.substr(0, slash);", "p = p.substr(0, slash);",
     "folder list: the drive root loses its backslash (\"c:\" instead of \"c:\\\")"),
    ("P17", PURE, "src/panels/browse_rules.cpp",
     "    std::erase(target, '\"');\n", "",
     "dropped file: quotes in the dropped path are kept"),
    ("P18", PURE, "src/app/launch_request.cpp",
     "for (std::size_t word = i + 2; word < args.size(); ++word)", "for (std::size_t word = args.size(); false;)",
     "/launch arguments: an unquoted name split over several arguments is taken by its first word"),
    ("P19", PURE, "src/favorites/store.cpp",
     "    if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return kAbsent;",
     "    if (index < 1 || static_cast<std::size_t>(index) >= items_.size()) return kAbsent;",
     "store: the first favorite reads as absent (off by one)"),
    # ------------------------------------------------------------------ Win32
    ("W1", WIN32, "src/panels/editor_panel.cpp",
     "    if (!DoEvents()) return;\n    if (Text(kTitleEdit).empty())",
     "    (void)DoEvents();\n    if (Text(kTitleEdit).empty())",
     "re-entrancy: the target handler goes on after the window closed during its event pump"),
    ("W2", WIN32, "src/panels/icon_preview.cpp",
     "UniqueIcon smallOwner(smallIcon);", "UniqueIcon smallOwner(large ? nullptr : smallIcon);",
     "icon preview: the unchosen small icon is leaked"),
    ("W3", WIN32, "src/launcher/launcher.cpp",
     "if (!PinProcessByName(favorite.core, image)) return;",
     "(void)PinProcessByName(favorite.core, image);",
     "launcher: minimises (reports pinned) after a failed pin by name"),
    ("W4", WIN32, "src/launcher/launcher.cpp",
     "if (favorite.core == Core::Default) {", "if (false) {",
     "launcher: a Default favourite goes through the pin attempts (pinned to core 2)"),
    ("W5", WIN32, "src/platform/shell.cpp",
     "    info.lpDirectory = folder;\n", "",
     "launcher: the program is started without its start-in folder"),
    ("W6", WIN32, "src/app/main_window.cpp",
     "    state_ = State::ShutDown;\n    trayIcon_.Remove();\n", "    state_ = State::ShutDown;\n",
     "shutdown: the notification icon stays until the window object dies"),
    ("W7", WIN32, "src/app/main_window.cpp",
     "        if (msg == taskbarCreated_ && taskbarCreated_ != 0) trayIcon_.AddAgain();\n", "",
     "tray icon: not added again after the shell restarts (TaskbarCreated)"),
    ("W8", WIN32, "src/tray/tray_icon.cpp",
     "if (wp != kId || CursorInClientArea(window)) return Action::None;", "if (wp != kId) return Action::None;",
     "tray icon: a real mouse move over the window is taken for an icon click"),
    ("W9", WIN32, "src/app/final_save.cpp",
     "    if (state_ == State::Done) return;\n", "",
     "shutdown: runs again (writes Favorites again) after the end of the session"),
    ("W10", WIN32, "src/favorites/file_io.cpp",
     "if (unreadable_) return changes.empty() ? SaveResult::LeftAlone : SaveBeside(changes.added);",
     "if (unreadable_) return SaveResult::LeftAlone;",
     "unreadable Favorites: the favourites the session added are not saved beside it"),
    ("W11", WIN32, "src/favorites/file_io.cpp",
     "GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,", "GENERIC_READ, FILE_SHARE_READ,",
     "unreadable Favorites: a file another program holds open for writing cannot be read"),
    ("W12", WIN32, "src/favorites/file_io.cpp",
     "const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;",
     "const bool missing = error == ERROR_PATH_NOT_FOUND;",
     "start-up: a missing Favorites is reported as unreadable"),
    ("W13", WIN32, "src/app/favorite_commands.cpp",
     "    if (!editor_.Clear() || !DoEvents()) return;\n    ShowPanel(favorites_, editor_);",
     "    if (!editor_.Clear() || !DoEvents()) return;\n    ShowPanel(editor_, favorites_);",
     "editor save: the editor stays shown instead of going back to the list (arguments swapped)"),
    ("W14", WIN32, "src/app/favorite_commands.cpp",
     "void MainWindow::CloseEditor() {\n    ShowPanel(favorites_, editor_);\n    ResetSelection();\n",
     "void MainWindow::CloseEditor() {\n    ShowPanel(favorites_, editor_);\n",
     "editor cancel: the selection and the editor's fields are kept"),
    ("W15", WIN32, "src/panels/favorites_panel.cpp",
     "    SendMessageA(list(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);\n",
     "",
     "remove: the entry leaves the store but stays in the list box"),
    ("W16", WIN32, "src/panels/favorites_panel.cpp",
     "return Request(&PanelHost::OnSelectionChanged) ? Selection::Made : Selection::WindowGone;",
     "return Selection::Made;",
     "window: a selection made by the program (start-up, /launch) does not load the favourite"),
    ("W17", WIN32, "src/panels/browse_panel.cpp",
     "if (GetListText(files, static_cast<int>(i)) != name) continue;",
     "if (GetListText(files, static_cast<int>(i)).rfind(name, 0) != 0) continue;",
     "browse refresh: the kept program is reselected by a prefix of its name"),
    ("W18", WIN32, "src/app/main_window.cpp",
     "    if (!launchRequest_) return false;\n", "    if (!launchRequest_) return true;\n",
     "start-up: a second plain start claims a hand-over and never brings the first window back"),
    ("W19", WIN32, "src/app/launches.cpp",
     "found != nullptr});\n    RunPendingLaunchesLater();\n",
     "found != nullptr});\n",
     "/launch hand-over: the received request is queued but never run"),
    ("W20", WIN32, "src/app/launches.cpp",
     "InfoBox(hwnd(), text::UnknownFavorite(next.order.display).c_str());", "(void)0;",
     "/launch: an unknown favourite is not reported"),
    ("W21", WIN32, "src/app/main_window.cpp",
     '    favorites_.ListMore(store_.items());\n',
     '',
     "start-up: only the first screen of a long list is loaded (and written back)"),
    ("W22", WIN32, "src/app/launches.cpp",
     "state_ == State::Running && hwnd() && IsWindowEnabled(hwnd())", "hwnd() && IsWindowEnabled(hwnd())",
     "re-entrancy: a queued launch (a click, a request) runs inside the one under way"),
    ("W23", WIN32, "src/app/favorite_commands.cpp",
     "        if (!editor_.Load(FieldsOf(store_.at(index)))) return;\n        favorites_.ShowIcon(editor_.Target());",
     "        const Favorite& chosen = store_.at(index);\n        if (!editor_.Load(FieldsOf(chosen))) return;\n        favorites_.ShowIcon(TargetOf(chosen.coded));",
     "re-entrancy: loading the selection keeps a reference into the store across the editor's event pump"),
    ("W24", WIN32, "src/panels/browse_panel.cpp",
     "GetListText(files, static_cast<int>(selected))", "GetListText(files, 0)",
     "browse OK: the folder's first program is taken instead of the selected one"),
    # ------------------------------------------------------------------ H10: rows H8 added, and the merged rows
    ("N1", WIN32, "src/app/favorite_commands.cpp",
     "        favorites_.Unlist(index);\n    }\n    if (!DoEvents()) return;",
     "        favorites_.Unlist(index);\n    }\n    (void)DoEvents();",
     "re-entrancy: Remove goes on after the window closed during its event pump"),
    ("N2", WIN32, "src/app/favorite_commands.cpp",
     "    if (!editor_.SetTarget(chosen.program)) return;",
     "    (void)editor_.SetTarget(chosen.program);",
     "re-entrancy: the browse panel's OK goes on after the window closed during the target's event pump"),
    ("N3", WIN32, "src/panels/favorites_panel.cpp",
     "else if (code == LBN_DBLCLK && DoEvents())\n            (void)Request(&PanelHost::Launch);",
     "else if (code == LBN_DBLCLK && DoEvents())\n            break;",
     "favorites list: a double click does not launch"),
    ("N4", WIN32, "src/panels/favorites_panel.cpp",
     "else if (code == LBN_DBLCLK && DoEvents())",
     "else if (code == LBN_DBLCLK && (DoEvents(), true))",
     "re-entrancy: the double click launches after the window closed during its pause"),
    ("N5", WIN32, "src/panels/browse_panel.cpp",
     "if (code == CBN_SELCHANGE) OnDriveChange();", "if (code == CBN_SELCHANGE) (void)0;",
     "browse panel: choosing another drive in the drive list changes nothing"),
    ("N6", WIN32, "src/app/launches.cpp",
     "FieldsOf(store_.at(index))};", "FieldsOf(store_.at(0))};",
     "launch: Launch starts the first favourite, not the selected one"),
    ("N7", WIN32, "src/panels/browse_panel.cpp",
     "if (code == BN_CLICKED) (void)Request(&PanelHost::CloseBrowser);", "if (code == BN_CLICKED) (void)0;",
     "browse panel: Cancel does not go back to the editor"),
    ("N9", WIN32, "src/app/favorite_commands.cpp",
     "    if (!editor_.Clear() || !DoEvents()) return;\n    ShowPanel(favorites_, editor_);",
     "    if (!editor_.Clear()) return;\n    (void)DoEvents();\n    ShowPanel(favorites_, editor_);",
     "re-entrancy: Save goes on after the window closed during its event pump"),
    ("N10", WIN32, "src/app/favorite_commands.cpp",
     "        store_.RemoveAt(index);\n        favorites_.Unlist(index);\n    }\n    if (!DoEvents()) return;\n",
     "        favorites_.Unlist(index);\n    }\n    if (!DoEvents()) return;\n    if (index >= 0) store_.RemoveAt(index);\n",
     "re-entrancy: Remove lets events in before the favourite leaves the store"),
    ("N11", WIN32, "src/panels/panel.hpp",
     "        if (!hwnd()) return Alive(false);\n        (host_.*request)",
     "        (host_.*request)",
     "re-entrancy: a panel's request still runs once the window has closed"),
    # ------------------------------------------------------------------ H24: Favorites against the world outside
    ("F1", WIN32, "src/favorites/file_io.cpp",
     "        if (read_.present) return SaveResult::LeftAlone;\n",
     "        if (read_.present) return Replace(favorites, {}) ? SaveResult::Written : SaveResult::Failed;\n",
     "unchanged session: the list read is written back over what another program wrote meanwhile"),
    ("F2", WIN32, "src/favorites/file_io.cpp",
     "const bool ok = found == read_ ? Replace(favorites, {}) : Replace({}, MergeChanges(now.bytes, changes));",
     "const bool ok = Replace(favorites, {});",
     "changed session: the list is written over what another program wrote meanwhile, not merged"),
    ("F3", PURE, "src/favorites/favorites_file.cpp",
     "            removed.erase(found);\n", "            (void)found;\n",
     "merge: every copy of a removed favourite leaves the file, not one"),
    ("F4", PURE, "src/favorites/favorites_file.cpp",
     "            kept.append(onDisk.substr(start, reader.Offset() - start));",
     "            kept.append(record);",
     "merge: another program's records are rewritten with CR LF instead of kept as they stand"),
    ("F5", WIN32, "src/app/final_save.cpp",
     "while (result_ == FavoritesFile::SaveResult::Failed && state_ == State::Asking) {",
     "while (false) {",
     "refused save: SaveResult::Failed is ignored, nothing told and the added favourites lost"),
    ("F6", WIN32, "src/app/main.cpp",
     "    window.ShutdownAfterLoop();\n", "",
     "a quit posted from outside ends the loop and nothing is saved"),
    ("F7", WIN32, "src/favorites/file_io.cpp",
     "    const std::string target = FinalPathOf(path);\n", "    const std::string target = path;\n",
     "a link to Favorites is replaced by a plain file; the file it pointed to keeps the old list"),
    ("F8", WIN32, "src/app/final_save.cpp",
     "        if (asking == Asking::Nobody) GiveUp();\n        return;",
     "        return;",
     "re-entrancy: a log-off while the refused save's box is up does not save beside at once"),
    ("F9", PURE, "src/favorites/store.cpp",
     "    if (const auto was = std::find(added.begin(), added.end(), gone); was != added.end())",
     "    if (const auto was = added.end(); false)",
     "journal: removing a favourite the session added leaves it in the additions"),
    ("F10", WIN32, "src/favorites/file_io.cpp",
     "CREATE_NEW, FILE_ATTRIBUTE_NORMAL", "CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL",
     "unchanged session that found no Favorites empties one another program put there meanwhile"),
    ("F11", WIN32, "src/app/main_window.cpp",
     "    if (const std::size_t unlisted = favorites_.Unlisted(); unlisted > 0 && hwnd())\n"
     "        InfoBox(hwnd(), text::NotListed(unlisted).c_str());\n", "",
     "a list larger than the list box can show is cut short without a word"),
    ("F12", WIN32, "src/favorites/file_io.cpp",
     "    if (!file && GetLastError() == ERROR_FILE_NOT_FOUND) file = open(GENERIC_WRITE, OPEN_ALWAYS);\n", "",
     "a link to a Favorites not there yet is replaced by a plain file; the place it points to gets nothing"),
    # ------------------------------------------------------------------ H25: one launch value, what it tells
    ("L1", WIN32, "src/app/launches.cpp",
     "    lastLaunch_ = launcher_.Run(order, {hwnd(), [this] { return DoEvents(); }});",
     "    LaunchOrder live = order;\n    lastLaunch_ = launcher_.Run(live, {hwnd(), [this, &live] {\n"
     "        const Alive alive = DoEvents();\n        if (alive && favorites_.CurrentIndex() >= 0)\n"
     "            live.favorite.core = FieldsOf(store_.at(favorites_.CurrentIndex())).core;\n"
     "        return alive;\n    }});",
     "launch: the core is read from the selection as it is after each event"),
    ("L2", WIN32, "src/app/launches.cpp",
     "    lastLaunch_ = launcher_.Run(order, {hwnd(), [this] { return DoEvents(); }});",
     "    LaunchOrder live = order;\n    lastLaunch_ = launcher_.Run(live, {hwnd(), [this, &live] {\n"
     "        const Alive alive = DoEvents();\n        if (alive) live.favorite.target = editor_.Target();\n"
     "        return alive;\n    }});",
     "launch: the target is read afresh from the editor after each event (the attempts look for another program)"),
    ("L3", WIN32, "src/app/launches.cpp",
     "            RunLaunch(next.order);",
     "            RunLaunch(favorites_.CurrentIndex() < 0 ? next.order : LaunchOrder{\"\", "
     "FieldsOf(store_.at(favorites_.CurrentIndex()))});",
     "launch queue: a queued click or request starts what is selected when the queue runs"),
    ("L4", WIN32, "src/launcher/launcher.cpp",
     "if (core == Core::Default) return MachineCores();", "if (core == Core::Default) return 0;",
     "Default: the program inherits Corvane's own mask, not the machine's cores"),
    ("L5", WIN32, "src/launcher/launcher.cpp",
     "                                 favorite.startIn.c_str(), SW_SHOWNORMAL);\n    }",
     "                                 favorite.startIn.c_str(), SW_SHOWNORMAL);\n"
     "        if (!started.ok) InfoBox(owner, text::CouldNotStart(favorite.target, \"\").c_str());\n    }",
     "shell failure: the box is up before Corvane's own mask is back"),
    ("L6", WIN32, "src/platform/shell.cpp",
     "SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;", "SEE_MASK_NOCLOSEPROCESS;",
     "shell failure: the shell shows its own box, while Corvane is still on the favourite's core"),
    ("L7", WIN32, "src/launcher/launcher.cpp",
     "    if (start.error) {", "    if (false) {",
     "shell failure: not told; the attempts look for a program that never started"),
    ("L8", WIN32, "src/app/main.cpp",
     "RequestNotTaken(*asked.launch).c_str());\n        return 1;", "RequestNotTaken(*asked.launch).c_str());\n        return 0;",
     "/launch: a refused hand-over exits with 0, as if it had been taken"),
    ("L9", PURE, "src/app/launch_request.cpp",
     "        if (TrimSpaces(display).empty()) return {std::nullopt, true};\n", "",
     "/launch: an empty or blank name is taken as a favourite's name, not as a usage error"),
    ("L10", WIN32, "src/app/launches.cpp",
     "    InfoBox(nullptr, text::NotStarted(waiting).c_str());", "",
     "close: launches still waiting are dropped without a word"),
    ("L11", WIN32, "src/app/launches.cpp",
     "    if (lastLaunch_ == LaunchOutcome::ClosedBeforeStart) pendingLaunches_.push_front({order, true});\n", "",
     "close: a launch closed before its program started is not told"),
    ("L12", WIN32, "src/launcher/process_lookup.cpp",
     "if (process && SetProcessAffinityMask(process.get(), mask) == 1) return true;",
     "if (process && SetProcessAffinityMask(process.get(), mask) == 1) return process.release() != nullptr;",
     "pin by name: the process handle is left open"),
    ("L13", PURE, "src/favorites/favorite.cpp",
     "    if (coded.empty() || coded.front() < '0'", "    if (coded.empty()) return 2;\n    if (coded.front() < '0'",
     "stored core: an empty core line is read as Default, not CPU 0"),
    ("L14", PURE, "src/favorites/favorite.cpp",
     "    if (code == 1) return Core::Cpu1;", "    if (code % 2 == 1) return Core::Cpu1;",
     "stored core: a stray odd digit 3..9 starts the program on CPU 1, not on Default"),
    # ------------------------------------------------------------------ H26: shortcuts and menus
    ("S1", PURE, "src/platform/shell_rules.cpp",
     "    quoted.append(2 * backslashes, '\\\\');\n    quoted.push_back('\"');",
     "    quoted.append(backslashes, '\\\\');\n    quoted.push_back('\"');",
     "shortcut arguments: backslashes before the closing quote are not doubled and escape it"),
    ("S2", PURE, "src/platform/shell_rules.cpp",
     "quoted.append(c == '\"' ? 2 * backslashes + 1 : backslashes, '\\\\');",
     "quoted.append(c == '\"' ? backslashes + 1 : backslashes, '\\\\');",
     "shortcut arguments: backslashes before a quote in the title are not doubled"),
    ("S3", PURE, "src/platform/shell_rules.cpp",
     "        if (lead[byte]) {\n            ++i;  // its second byte is part of the character\n        } else if",
     "        if",
     "shortcut file name: the second byte of a double-byte character is replaced as a backslash or bar"),
    ("S4", WIN32, "src/platform/shell_rules.cpp",
     "        if (c == '&') item.push_back('&');\n", "",
     "tray menu: an '&' in a title is taken for an access-key mark"),
    ("S5", WIN32, "src/panels/favorites_panel.cpp",
     "    case kMenuLaunch:\n        (void)Request(&PanelHost::Launch);",
     "    case kMenuLaunch:\n        (void)Request(&PanelHost::Remove, CurrentIndex());",
     "list menu: Launch removes the entry (commands swapped)"),
    ("S6", WIN32, "src/panels/favorites_panel.cpp",
     "    return Select(index) == Selection::Made ? index : -1;",
     "    return CurrentIndex();",
     "list menu: a right click acts on the selected entry, not the one under the pointer"),
    ("S7", WIN32, "src/app/shortcut_commands.cpp",
     "    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES &&\n        !AskYesNo(",
     "    if (false &&\n        !AskYesNo(",
     "desktop shortcut: an existing shortcut is replaced without asking"),
    ("S8", WIN32, "src/app/shortcut_commands.cpp",
     "    link.folder = CurrentFolder();", "    link.folder = FolderOf(ProgramPath());",
     "desktop shortcut: starts in the program's folder, not the one that holds Favorites"),
    ("S9", WIN32, "src/app/shortcut_commands.cpp",
     "    if (SUCCEEDED(written))", "    if (true)",
     "desktop shortcut: a failed write is told as a success"),
    ("S10", WIN32, "src/tray/tray_icon.cpp",
     "    for (std::size_t i = 0; i < displays.size() && i < kListed; ++i) {",
     "    for (std::size_t i = 0; i < displays.size() && i <= kListed; ++i) {",
     "tray menu: twenty-one favourites listed before More (off by one)"),
    ("S11", WIN32, "src/app/main_window.cpp",
     "        LaunchByDisplay(choice.display);", "        Launch();",
     "tray menu: the chosen favourite is not launched, the selected one is"),
    ("S12", WIN32, "src/tray/tray_icon.cpp",
     "displays[chosen - kFirstFavoriteCommand]}", "displays[chosen - kFirstFavoriteCommand - 1]}",
     "tray menu: the favourite above the chosen one is launched (off by one)"),
]

FAILED_CTEST = re.compile(r"^\s*\d+\s*-\s*(\S+)\s+\((Failed|Timeout|SEGFAULT|Exception|Subprocess aborted|"
                          r"Child aborted|Not Run|[^)]*)\)", re.M)
FAILED_GTEST = re.compile(r"^\[  FAILED  \] ([\w/.]+)(?: \(|,|$)", re.M)


class Interrupted(Exception):
    pass


def on_signal(signum, _frame):
    raise Interrupted(f"signal {signum}")


def run(cmd, tree, log, timeout):
    with open(log, "a") as out:
        out.write(f"\n$ {' '.join(cmd)}\n")
        out.flush()
        proc = subprocess.Popen(cmd, cwd=tree, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                                errors="replace", start_new_session=True)
        try:
            text, _ = proc.communicate(timeout=timeout)
        except (subprocess.TimeoutExpired, Interrupted):
            os.killpg(proc.pid, signal.SIGTERM)
            try:
                proc.communicate(timeout=30)
            except subprocess.TimeoutExpired:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.communicate()
            raise
        out.write(text)
    return proc.returncode, text


def commands(kind):
    if kind == PURE:
        return (["cmake", "--build", "--preset", "native", "-j2"], ["ctest", "--preset", "native"])
    return (["cmake", "--build", "--preset", "win64", "-j2"],
            ["env", "-u", "DISPLAY", "scripts/with-display.sh", "ctest", "--preset", "win64", "--timeout", "200"] +
            (["-R", TESTS] if TESTS else []))


def build_and_test(tree, kind, log):
    """(result, failing names) for the tree as it is now."""
    build, test = commands(kind)
    rc, _ = run(build, tree, log, 3600)
    if rc != 0:
        return "did-not-build", []
    rc, text = run(test, tree, log, 3600)
    failed_entries = [m.group(1) for m in FAILED_CTEST.finditer(text.split("The following tests FAILED:")[-1])] \
        if "The following tests FAILED:" in text else []
    failed_cases = sorted(set(FAILED_GTEST.findall(text)))
    if rc == 0:
        return "survived", []
    # The native entries are the test cases themselves; a Win32 entry runs many, named in brackets.
    extra = [c for c in failed_cases if c not in failed_entries]
    names = failed_entries + ([f"[{', '.join(extra)}]"] if extra else [])
    return "caught", names or [f"(ctest exit {rc})"]


def plant(tree, fault, log):
    fid, kind, rel, old, new, _ = fault
    path = os.path.join(tree, rel)
    if not os.path.isfile(path):
        return "not-applicable", [f"(no {rel})"]
    with open(path, "rb") as f:
        original = f.read()
    count = original.count(old.encode())
    if count != 1:
        print(f"!!! {fid}: old text found {count} times in {rel}: not applicable, adapt by hand", file=sys.stderr)
        return "not-applicable", [f"(old text found {count} times in {rel})"]
    try:
        with open(path, "wb") as f:
            f.write(original.replace(old.encode(), new.encode(), 1))
        return build_and_test(tree, kind, log)
    finally:
        with open(path, "wb") as f:
            f.write(original)


def load_results(out):
    results = {}
    if os.path.exists(out):
        with open(out) as f:
            for line in f:
                if line.strip() and not line.startswith("#"):
                    results[line.split()[0]] = line.rstrip("\n")
    return results


def save_results(out, results, tree):
    order = ["BASE-native", "BASE-win64"] + [f[0] for f in FAULTS]
    with open(out, "w") as f:
        f.write(f"# planted-fault results for {tree}: id result failing-tests\n")
        for fid in order:
            if fid in results:
                f.write(results[fid] + "\n")


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("tree")
    ap.add_argument("--only", default="", help="comma-separated fault ids")
    ap.add_argument("--kind", choices=[PURE, WIN32])
    ap.add_argument("--out", default="")
    ap.add_argument("--baseline", action="store_true", help="first run the untouched tree's suites")
    ap.add_argument("--list", action="store_true", help="print the catalogue and exit")
    ap.add_argument("--tests", default="", help="ctest -R regex: run only these Win32 entries")
    args = ap.parse_args()
    if args.list:
        for fid, kind, rel, _, _, desc in FAULTS:
            print(f"{fid:4} {kind:5} {rel:38} {desc}")
        return 0
    global TESTS
    TESTS = args.tests
    tree = os.path.abspath(args.tree)
    if not args.out:
        args.out = os.path.join(tree, "build", "faults.txt")
    only = {s.strip() for s in args.only.split(",") if s.strip()}
    unknown = only - {f[0] for f in FAULTS}
    if unknown:
        sys.exit(f"unknown fault ids: {', '.join(sorted(unknown))}")
    signal.signal(signal.SIGTERM, on_signal)
    signal.signal(signal.SIGINT, on_signal)
    log = os.path.splitext(args.out)[0] + ".log"
    results = load_results(args.out)

    if args.baseline:
        for kind, name in ((PURE, "BASE-native"), (WIN32, "BASE-win64")):
            if args.kind and kind != args.kind:
                continue
            result, names = build_and_test(tree, kind, log)
            results[name] = f"{name} {'pass' if result == 'survived' else result} {' '.join(names)}".rstrip()
            save_results(args.out, results, tree)
            print(results[name], flush=True)
            if result != "survived":
                sys.exit(f"the untouched tree does not pass its {kind} suite; fault results would mean nothing")

    touched = set()
    for fault in FAULTS:
        fid, kind = fault[0], fault[1]
        if (only and fid not in only) or (args.kind and kind != args.kind):
            continue
        start = time.time()
        result, names = plant(tree, fault, log)
        touched.add(kind)
        results[fid] = f"{fid} {result} {' '.join(names)}".rstrip()
        save_results(args.out, results, tree)
        print(f"{results[fid]}   ({time.time() - start:.0f} s)", flush=True)
    # Every planted file is back; bring the build directories back in step with the sources.
    for kind in sorted(touched):
        run(commands(kind)[0], tree, log, 3600)
    return 0


if __name__ == "__main__":
    sys.exit(main())
