#include "favorites/store.hpp"

#include <gtest/gtest.h>

using namespace corvane;

static Favorite Fav(const std::string& display) {
    return {display, "0__c:\\" + display, "c:", "None"};
}

static std::string Displays(const std::vector<Favorite>& favorites) {
    std::string out;
    for (const Favorite& f : favorites)
        out += f.display + '|';
    return out;
}

// Each step adds a display text ('+') or removes an index ('-'); the list and the session's changes follow. The
// store starts with what a file held, which counts as no change; removing an added favourite cancels its adding.
TEST(FavoriteStore, AddsRemovesAndKeepsTheSessionsChanges) {
    struct Step {
        char op;
        std::string display;
        int index;
        std::string list, added, removed;
    };
    const Step steps[] = {
        {'+', "Chess on CPU 0", 0, "Read|Chess on CPU 0|", "Chess on CPU 0|", ""},
        {'+', "Chess on CPU 0", 0, "Read|Chess on CPU 0|", "Chess on CPU 0|", ""},
        {'+', "chess on CPU 0", 0, "Read|Chess on CPU 0|chess on CPU 0|", "Chess on CPU 0|chess on CPU 0|", ""},
        {'+', "", 0, "Read|Chess on CPU 0|chess on CPU 0|", "Chess on CPU 0|chess on CPU 0|", ""},
        {'-', "", 3, "Read|Chess on CPU 0|chess on CPU 0|", "Chess on CPU 0|chess on CPU 0|", ""},
        {'-', "", -1, "Read|Chess on CPU 0|chess on CPU 0|", "Chess on CPU 0|chess on CPU 0|", ""},
        {'-', "", 1, "Read|chess on CPU 0|", "chess on CPU 0|", ""},
        {'-', "", 0, "chess on CPU 0|", "chess on CPU 0|", "Read|"},
        {'+', "Read", 0, "chess on CPU 0|Read|", "chess on CPU 0|Read|", "Read|"},
    };
    FavoriteStore store;
    store.Load(FavoritesReader("Read\r\n0__c:\\Read\r\nc:\r\nNone\r\n").ReadToEnd({}));
    for (const Step& s : steps) {
        const bool grows = s.list.size() > Displays(store.items()).size();
        if (s.op == '+') {
            EXPECT_EQ(store.AddUnlessDuplicate(Fav(s.display)), grows) << s.display;
        } else {
            store.RemoveAt(s.index);
        }
        EXPECT_EQ(Displays(store.items()), s.list) << s.op << s.display << s.index;
        EXPECT_EQ(Displays(store.changes().added), s.added) << s.op << s.display << s.index;
        EXPECT_EQ(Displays(store.changes().removed), s.removed) << s.op << s.display << s.index;
    }
    EXPECT_EQ(store.at(0), Fav("chess on CPU 0"));
    EXPECT_EQ(store.at(1), Fav("Read"));
    for (std::ptrdiff_t outside : {-1, 2})  // as LB_ERR from a list with nothing selected
        EXPECT_EQ(store.at(outside), Favorite{}) << outside;
}
