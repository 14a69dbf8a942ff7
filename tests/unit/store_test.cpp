#include "favorites/store.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvane {
namespace {

Favorite Fav(const std::string& display, const std::string& tag = "") {
    return Favorite{display, "0__c:\\" + tag + ".exe", "c:\\" + tag, "-" + tag};
}

TEST(NoDupList, RefusesOnlyEmptyOrExactlyEqualDisplayText) {
    FavoriteStore store;
    EXPECT_TRUE(store.NoDupList(Fav("Chess on CPU 0", "a")));
    EXPECT_FALSE(store.NoDupList(Fav("Chess on CPU 0", "b")));
    EXPECT_EQ(store.size(), 1u);
    EXPECT_EQ(store.at(0).coded, "0__c:\\a.exe");

    // The same title on another core, or differing only in letter case, is
    // another favorite.
    EXPECT_TRUE(store.NoDupList(Fav("Chess on CPU 1", "c")));
    EXPECT_TRUE(store.NoDupList(Fav("Chess on Default", "d")));
    EXPECT_TRUE(store.NoDupList(Fav("chess on CPU 0", "e")));
    EXPECT_TRUE(store.NoDupList(Fav("Chess on CPU 0 ", "f")));
    EXPECT_FALSE(store.NoDupList(Fav("", "g")));
    EXPECT_FALSE(store.NoDupList(Fav("chess on CPU 0", "h")));

    ASSERT_EQ(store.size(), 5u);
    EXPECT_TRUE(store.Contains("Chess on Default"));
    EXPECT_FALSE(store.Contains("CHESS ON DEFAULT"));
    EXPECT_FALSE(store.Contains(""));
    // Insertion order is kept.
    EXPECT_EQ(store.at(4).display, "Chess on CPU 0 ");
    EXPECT_EQ(store.at(1).display, "Chess on CPU 1");
}

TEST(NoDupList, LoadedDuplicatesStayButBlockNewOnes) {
    FavoriteStore store;
    store.Load({Fav("Go on CPU 1", "a"), Fav("Go on CPU 1", "a"), Fav("", "")});
    EXPECT_EQ(store.size(), 3u);
    EXPECT_FALSE(store.NoDupList(Fav("Go on CPU 1", "z")));
    EXPECT_EQ(store.size(), 3u);
}

TEST(FavoriteStore, RemoveAtShiftsWholeRecords) {
    FavoriteStore store;
    store.Load({Fav("A on CPU 0", "a"), Fav("B on CPU 1", "b"), Fav("C on Default", "c")});
    store.RemoveAt(0);
    ASSERT_EQ(store.size(), 2u);
    EXPECT_EQ(store.at(0), Fav("B on CPU 1", "b"));
    EXPECT_EQ(store.at(1), Fav("C on Default", "c"));

    store.RemoveAt(-1);
    store.RemoveAt(2);
    EXPECT_EQ(store.size(), 2u);

    store.RemoveAt(1);
    ASSERT_EQ(store.size(), 1u);
    EXPECT_EQ(store.at(0), Fav("B on CPU 1", "b"));
}

TEST(FavoriteStore, OutOfRangeReadsAreEmpty) {
    FavoriteStore store;
    EXPECT_EQ(store.at(0), Favorite{});
    EXPECT_EQ(store.at(-1), Favorite{});
    store.Load({Fav("A on CPU 0", "a")});
    EXPECT_EQ(store.at(0), Fav("A on CPU 0", "a"));
    EXPECT_EQ(store.at(1), Favorite{});
    EXPECT_EQ(store.at(-1), Favorite{});
    EXPECT_EQ(CpuCode(store.at(-1).coded), 0);
}

TEST(FavoriteStore, HoldsMoreThan32767) {
    FavoriteStore store;
    std::vector<Favorite> many;
    for (int i = 0; i < 40000; ++i) {
        const std::string n = std::to_string(i);
        many.push_back(Fav("G" + n + " on CPU 0", n));
    }
    store.Load(std::move(many));
    EXPECT_TRUE(store.NoDupList(Fav("New on CPU 1", "new")));
    EXPECT_FALSE(store.NoDupList(Fav("G39999 on CPU 0", "x")));
    ASSERT_EQ(store.size(), 40001u);
    EXPECT_EQ(store.at(40000).display, "New on CPU 1");
    EXPECT_EQ(store.at(39999).startIn, "c:\\39999");
    store.RemoveAt(35000);
    EXPECT_EQ(store.at(35000).display, "G35001 on CPU 0");
    EXPECT_EQ(store.size(), 40000u);
    store.Clear();
    EXPECT_TRUE(store.empty());
}

}  // namespace
}  // namespace corvane
