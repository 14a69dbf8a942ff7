// Events from outside at each moment Corvane lets events in. Whatever comes, Favorites ends with every favourite
// the user had, the typed text stays while the window lives, the window lives on or has closed in order, and a
// request runs once it may or is told not started once the window has closed.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/launching.hpp"

using namespace corvane;
using namespace corvane::test;

TEST(Reentry, EventsAtEachMomentKeepTheFavoritesAndTheTypedText) {
    TempDir dir;
    std::unique_ptr<App> app;
    ASSERT_TRUE(WriteBytes(dir.Join("idle.bat"), "@exit\r\n"));  // it starts, and a launch looks for it to the end
    const std::string first = Fav("Fav 0", Core::Cpu0, dir.Join("idle.bat"), "c:\\", "None");
    std::string rest;  // the list is longer than the first screen that start-up lists before the rest
    for (int i = 1; i < 100; ++i)
        rest += Fav("Fav " + std::to_string(i), Core::Cpu0, kGhost, "c:\\", "None");
    const std::string list = first + rest;
    const std::string typed = Fav("Typed", Core::Cpu1, "c:\\typed\\typed.exe", "c:\\typed", "None");
    const auto send = [&](UINT msg) { return [&app, msg] { SendMessageA(app->hwnd(), msg, 0, 0); }; };
    const std::function<void()> close = send(WM_CLOSE);
    const std::function<void()> taskbar = send(RegisterWindowMessageA("TaskbarCreated"));
    const std::function<void()> endSession = [&] {
        SendMessageA(app->hwnd(), WM_QUERYENDSESSION, 0, 0);
        SendMessageA(app->hwnd(), WM_ENDSESSION, TRUE, 0);
    };
    const std::function<void()> request = [&] { Request(*app, "Fav 99 on CPU 0"); };
    const std::function<void()> requestThenClose = [&] {
        request();
        close();
    };
    const std::function<void()> secondStart = [&] { EXPECT_TRUE(Corvane(dir.path()).Ended(15000)); };
    const std::function<void()> hide = [&] { ShowWindow(app->hwnd(), SW_MINIMIZE); };  // to the notification area
    const std::function<void()> pump = [] { PumpEvents(nullptr); };
    const auto click = [&](int id) { return [&app, id] { app->Click(id); }; };
    const std::function<void()> editTitle = [&] {
        app->Click(kAddButton);
        app->Click(kClearButton);
        app->SetText(kTitleEdit, "Typed");
    };
    const std::function<void()> editAll = [&] {
        editTitle();
        app->SetText(kTargetEdit, "c:\\typed\\typed.exe");
        app->Click(kCpu1Option);
    };
    const std::function<void()> save = click(kSaveButton);
    const std::function<void()> saveThenLaunch = [&] {  // the launch asked for in Save's box runs once it has gone
        bool after = false;
        const Ticker next([&] { after = true; });
        save();
        next.Post();
        PumpUntil([&] { return after; }, 15000);
    };
    UniqueFile holder;  // Favorites held open for reading by another program, which keeps it from being replaced
    const std::function<void()> refuse = [&] {
        editAll();
        save();
        holder =
            UniqueFile{CreateFileA("Favorites", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)};
    };
    const std::function<void()> endSessionSaves = [&] {
        endSession();
        EXPECT_EQ(ReadBytes("Favorites.unsaved"), typed) << "saved beside at once";
    };
    // FirstPump: the first event pump of `trigger`, run after `prepare`. RefusedBox: Favorites refused at the close.
    enum Moment { AddingTheIcon, UnreadableBox, InBox, RefusedBox, FirstPump, LaunchPause };
    struct Row {
        const char* name;
        Moment at;
        std::function<void()> event;
        std::function<void()> prepare = {};
        std::function<void()> trigger = {};
        std::string atEnd = {};  // "": the list as it was
        std::string unsaved = {};
        std::string told = {};  // the favourite told not started once the window closed
    };
    const Row rows[] = {
        {"WM_CLOSE while the icon is added", AddingTheIcon, close},
        {"log-off while the icon is added", AddingTheIcon, endSession},
        {"a /launch request while the icon is added", AddingTheIcon, request},
        {"TaskbarCreated while the icon is added", AddingTheIcon, taskbar},
        {"a second start while the icon is added", AddingTheIcon, secondStart},
        {"Add while the icon is added", AddingTheIcon, click(kAddButton)},
        {"WM_CLOSE in the unreadable box", UnreadableBox, close},
        {"a /launch request in the unreadable box", UnreadableBox, request},
        {"WM_CLOSE in the fill-in box", InBox, close, editTitle, save},
        {"Save again in the fill-in box", InBox, save, editTitle, save},
        {"a /launch request in the fill-in box", InBox, request, editTitle, saveThenLaunch},
        {"WM_CLOSE in the refused save's box", RefusedBox, close, refuse, close, {}, typed},
        {"log-off in the refused save's box", RefusedBox, endSessionSaves, refuse, close, {}, typed},
        {"a /launch request in the refused save's box", RefusedBox, request, refuse, close, {}, typed, "Fav 99"},
        {"WM_CLOSE in a launch's pause", LaunchPause, close},
        {"log-off in a launch's pause", LaunchPause, endSession},
        {"a /launch request, then WM_CLOSE, in a launch's pause",
         LaunchPause,
         requestThenClose,
         {},
         {},
         {},
         {},
         "Fav 99"},
        {"WM_CLOSE at a launch's first event", FirstPump, close, {}, click(kLaunchButton), {}, {}, "Fav 0 on CPU 0"},
        {"a second start in a launch's pause", LaunchPause, secondStart},
        {"a second start while hidden", FirstPump, secondStart, hide, pump},
        {"WM_CLOSE while saving", FirstPump, close, editAll, save, list + typed},
        {"log-off while saving", FirstPump, endSession, editAll, save, list + typed},
        {"WM_CLOSE while removing", FirstPump, close, {}, click(kRemoveButton), rest},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(WriteBytes("Favorites", list));
        DeleteFileA("Favorites.unsaved");
        bool came = false;
        const std::function<void()> event = [&] {
            came = true;
            row.event();
        };
        UniqueFile held{row.at == UnreadableBox
                            ? CreateFileA("Favorites", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                            : INVALID_HANDLE_VALUE};
        ShellStandIn shell(row.at == AddingTheIcon ? event : nullptr);
        ASSERT_TRUE(shell.found()) << "Shell_NotifyIcon would go to the shell's own window";
        app = std::make_unique<App>();
        if (row.at == UnreadableBox || row.at == InBox || row.at == RefusedBox) app->boxes().whileShown = event;
        ASSERT_TRUE(app->Start() || row.at == AddingTheIcon || row.at == UnreadableBox);
        held.reset();
        if (row.prepare) row.prepare();
        const Ticker firstPump(event);
        if (row.at == FirstPump) firstPump.Post();
        if (row.trigger) row.trigger();
        if (row.at == LaunchPause) {  // in its first pause
            LaunchWithMidway(*app, 600, BN_CLICKED, [&] {
                event();
                return true;
            });
        }
        ASSERT_TRUE(came);
        EXPECT_TRUE(app->win().closed() || StateOf(app->hwnd()) == Shown::Normal);
        EXPECT_TRUE(app->win().closed() || row.at != InBox || app->Text(kTitleEdit) == "Typed");
        const auto seen = [&](const std::string& start) {
            return std::ranges::count_if(app->boxes().seen(), [&](auto& box) { return box.text.starts_with(start); });
        };
        // In the list or not (an unreadable file lists nothing), the request runs once it may.
        const auto ran = [&] { return seen("Windows could not start") + seen("There is no favorite"); };
        const bool asked = row.event.target_type() == request.target_type();  // and nothing closes the window
        PumpUntil([&] { return ran() || !asked || app->win().closed(); });
        ASSERT_TRUE(app->Close());
        holder.reset();
        EXPECT_EQ(ran(), asked && row.told.empty());
        EXPECT_EQ(seen("Corvane was closed before it could start \"" + row.told), !row.told.empty());
        EXPECT_EQ(ReadBytes("Favorites"), row.atEnd.empty() ? list : row.atEnd);
        EXPECT_EQ(ReadBytes("Favorites.unsaved").value_or(""), row.unsaved);
        ASSERT_TRUE(WriteBytes("Favorites", "sentinel"));  // nothing may write once the window has closed
        app.reset();
        EXPECT_EQ(ReadBytes("Favorites"), std::string("sentinel"));
    }
}
