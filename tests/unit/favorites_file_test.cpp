#include "favorites/favorites_file.hpp"

#include <gtest/gtest.h>

using namespace corvane;

using namespace std::string_literals;
using Favorites = std::vector<Favorite>;

const Favorite kChess{"Chess on CPU 1", R"(1__c:\games\chess\chess.exe)", R"(c:\games\chess)", "None"};

TEST(FavoritesFile, ReadsLinesAndWritesThemBackWithCrLf) {
    struct Row {
        std::string bytes;
        Favorites read;
        std::string written;
    };
    const Row rows[] = {
        {"", {}, ""},
        {"Chess on CPU 1\r\n1__c:\\games\\chess\\chess.exe\r\nc:\\games\\chess\r\nNone\r\n",
         {kChess},
         "Chess on CPU 1\r\n1__c:\\games\\chess\\chess.exe\r\nc:\\games\\chess\r\nNone\r\n"},
        {"a\rb\r\nc\rd\r", {{"a", "b", "c", "d"}}, "a\r\nb\r\nc\r\nd\r\n"},
        {"a\r\nb\r\nc\r\nd", {{"a", "b", "c", "d"}}, "a\r\nb\r\nc\r\nd\r\n"},
        {"\na\nb\n\r\nc\r\nd\r\ne\n", {{"\na\nb\n", "c", "d", "e\n"}}, "ab\r\nc\r\nd\r\ne\r\n"},
        {"a\r\n\nb\r\n\r\n\n", {{"a", "\nb", "", "\n"}}, "a\r\nb\r\n\r\n\r\n"},
        {"a\n\rb\rc\rd", {{"a\n", "b", "c", "d"}}, "a\r\nb\r\nc\r\nd\r\n"},
        {"a\r\r\nc\r\nd\r\n", {{"a", "", "c", "d"}}, "a\r\n\r\nc\r\nd\r\n"},
        {"a", {{"a", "", "", ""}}, "a\r\n\r\n\r\n\r\n"},
        {"a\r", {{"a", "", "", ""}}, "a\r\n\r\n\r\n\r\n"},
        {"a\r\nb", {{"a", "b", "", ""}}, "a\r\nb\r\n\r\n\r\n"},
        {"a\r\nb\r\nc\r\n", {{"a", "b", "c", ""}}, "a\r\nb\r\nc\r\n\r\n"},
        {"a\r\nb\r\nc\r\nd\r\ne\r\nf",
         {{"a", "b", "c", "d"}, {"e", "f", "", ""}},
         "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\n\r\n\r\n"},
        {"a\r\nb\r\nc\r\nd\r\n\r\n", {{"a", "b", "c", "d"}, {}}, "a\r\nb\r\nc\r\nd\r\n\r\n\r\n\r\n\r\n"},
        {"T\0x\r\n\xFF\x83\x41\r\n\t\r\n \r\nT\0x\r\n"s,
         {{"T\0x"s, "\xFF\x83\x41", "\t", " "}, {"T\0x"s, "", "", ""}},
         "T\0x\r\n\xFF\x83\x41\r\n\t\r\n \r\nT\0x\r\n\r\n\r\n\r\n"s},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(::testing::PrintToString(r.bytes));
        EXPECT_EQ(ParseFavorites(r.bytes), r.read);
        EXPECT_EQ(SerializeFavorites(ParseFavorites(r.bytes)), r.written);
        // A first screen of one record, then the rest, as start-up reads a long list.
        FavoritesReader reader(r.bytes);
        Favorites first;
        reader.Read(1, first);
        EXPECT_EQ(reader.ReadToEnd(std::move(first)).Take(), r.read);
        EXPECT_GE(FavoritesReader(r.bytes).Estimate(), r.read.size());
    }
}

TEST(FavoritesFile, LineBreaksInsideFieldsAreNeverWritten) {
    struct Row {
        Favorites favorites;
        std::string written;
    };
    const Row rows[] = {
        {{{"Chess\r\n on CPU 1", "1__c:\\a\n.exe", "c:\\\r", "-x\r\n-y"}},
         "Chess on CPU 1\r\n1__c:\\a.exe\r\nc:\\\r\n-x-y\r\n"},
        {{{"\r", "\n", "\r\n", "\n\r"}, {"a", "b", "c", "d"}}, "\r\n\r\n\r\n\r\na\r\nb\r\nc\r\nd\r\n"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(SerializeFavorites(r.favorites), r.written);
    std::string out = "kept\r\n";
    AppendFavorite(out, rows[0].favorites[0]);
    EXPECT_EQ(out, "kept\r\n" + rows[0].written);
}
