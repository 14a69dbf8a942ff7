#include "favorites/store.hpp"

#include <gtest/gtest.h>

using namespace corvane;

static Favorite Fav(const std::string& display) {
    return {display, "0__c:\\" + display, "c:", "None"};
}

static std::string Displays(const FavoriteStore& store) {
    std::string out;
    for (const Favorite& f : store.items())
        out += f.display + '|';
    return out;
}

// Each step adds a display text ('+') or removes an index ('-'); the list and the revision after it follow.
TEST(FavoriteStore, AddsRemovesAndCountsRevisions) {
    struct Step {
        char op;
        std::string display;
        int index;
        std::string list;
        std::uint64_t revision;
    };
    const Step steps[] = {
        {'+', "Chess on CPU 0", 0, "Chess on CPU 0|", 1},
        {'+', "Chess on CPU 0", 0, "Chess on CPU 0|", 1},
        {'+', "chess on CPU 0", 0, "Chess on CPU 0|chess on CPU 0|", 2},
        {'+', "", 0, "Chess on CPU 0|chess on CPU 0|", 2},
        {'-', "", 2, "Chess on CPU 0|chess on CPU 0|", 2},
        {'-', "", -1, "Chess on CPU 0|chess on CPU 0|", 2},
        {'-', "", 0, "chess on CPU 0|", 3},
        {'+', "Chess on CPU 0", 0, "chess on CPU 0|Chess on CPU 0|", 4},
    };
    FavoriteStore store;
    std::uint64_t last = 0;  // the previous row's revision: an add that counts is one that succeeded
    for (const Step& s : steps) {
        if (s.op == '+') {
            EXPECT_EQ(store.AddUnlessDuplicate(Fav(s.display)), s.revision > last) << s.display;
        } else {
            store.RemoveAt(s.index);
        }
        EXPECT_EQ(Displays(store), s.list) << s.op << s.display << s.index;
        EXPECT_EQ(store.revision(), s.revision) << s.op << s.display << s.index;
        last = s.revision;
    }
    EXPECT_EQ(store.at(0), Fav("chess on CPU 0"));
    EXPECT_EQ(store.at(1), Fav("Chess on CPU 0"));
    for (std::ptrdiff_t outside : {-1, 2})  // as LB_ERR from a list with nothing selected
        EXPECT_EQ(store.at(outside), Favorite{}) << outside;
}
