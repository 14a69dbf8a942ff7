#include "favorites/favorites_file.hpp"

#include <gtest/gtest.h>

using namespace corvane;

using namespace std::string_literals;
using Favorites = std::vector<Favorite>;

TEST(FavoritesFile, ReadsLinesAndWritesThemBackWithCrLf) {
    struct Row {
        std::string bytes;
        Favorites read;
        std::string written;
    };
    const Row rows[] = {
        {"", {}, ""},
        {"a\rb\r\nc\rd\r", {{"a", "b", "c", "d"}}, "a\r\nb\r\nc\r\nd\r\n"},
        {"a\r\nb\r\nc\r\nd", {{"a", "b", "c", "d"}}, "a\r\nb\r\nc\r\nd\r\n"},
        {"\na\nb\n\r\nc\r\nd\r\ne\n", {{"\na\nb\n", "c", "d", "e\n"}}, "\na\nb\n\r\nc\r\nd\r\ne\n\r\n"},
        {"a\r\n\nb\r\n\r\n\n", {{"a", "\nb", "", "\n"}}, "a\r\n\nb\r\n\r\n\n\r\n"},
        {"a\n\rb\rc\rd", {{"a\n", "b", "c", "d"}}, "a\n\r\nb\r\nc\r\nd\r\n"},
        {"a\r\r\nc\r\nd\r\n", {{"a", "", "c", "d"}}, "a\r\n\r\nc\r\nd\r\n"},
        {"a\r", {{"a", "", "", ""}}, "a\r\n\r\n\r\n\r\n"},
        {"a\r\nb\r\nc\r\n", {{"a", "b", "c", ""}}, "a\r\nb\r\nc\r\n\r\n"},
        {"a\r\nb\r\nc\r\nd\r\n\r\n", {{"a", "b", "c", "d"}, {}}, "a\r\nb\r\nc\r\nd\r\n\r\n\r\n\r\n\r\n"},
        {"T\0x\r\n\xFF\x83\x41\r\n\t\r\n \r\nT\0x\r\n"s,
         {{"T\0x"s, "\xFF\x83\x41", "\t", " "}, {"T\0x"s, "", "", ""}},
         "T\0x\r\n\xFF\x83\x41\r\n\t\r\n \r\nT\0x\r\n\r\n\r\n\r\n"s},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(::testing::PrintToString(r.bytes));
        EXPECT_EQ(ParseFavorites(r.bytes), r.read);
        EXPECT_EQ(SerializeFavorites(ParseFavorites(r.bytes)), r.written);
        EXPECT_EQ(ParseFavorites(r.written), r.read) << "written, then read again";
        // A first screen of one record, then the rest, as start-up reads a long list.
        FavoritesReader reader(r.bytes);
        Favorites first;
        reader.Read(1, first);
        EXPECT_EQ(reader.ReadToEnd(std::move(first)).Take(), r.read);
        EXPECT_GE(FavoritesReader(r.bytes).Estimate(), r.read.size());
    }
}

TEST(FavoritesFile, CrInsideFieldsIsNeverWritten) {
    struct Row {
        Favorites favorites;
        std::string written;
    };
    const Row rows[] = {
        {{{"Chess\r\n on CPU 1", "1__c:\\a\n.exe", "c:\\\r", "-x\r\n-y"}},
         "Chess\n on CPU 1\r\n1__c:\\a\n.exe\r\nc:\\\r\n-x\n-y\r\n"},
        {{{"\r", "\n", "\r\n", "\n\r"}, {"a", "b", "c", "d"}}, "\r\n\n\r\n\n\r\n\n\r\na\r\nb\r\nc\r\nd\r\n"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(SerializeFavorites(r.favorites), r.written);
    std::string out = "kept\r\n";
    AppendFavorite(out, rows[0].favorites[0]);
    EXPECT_EQ(out, "kept\r\n" + rows[0].written);
}

TEST(FavoritesFile, AdditionsKeepWhatIsThereAndAddOnlyWhatIsNew) {
    const std::string a = "a\r\nb\r\nc\r\nd\r\n";
    const Favorite x{"x", "y", "z", "w"};
    const std::string xBytes = "x\r\ny\r\nz\r\nw\r\n";
    struct Row {
        std::string existing;
        Favorites session;
        std::string added;
    };
    const Row rows[] = {
        {"", {x}, xBytes},
        {a, {x}, xBytes},
        {a, {{"a", "b", "c", "d"}, x, x}, xBytes},
        {a + xBytes, {x}, ""},
        {"a\rb\rc\rd", {{"a", "b", "c", "d"}}, ""},
        {"a\r", {x}, "\r\n\r\n\r\n" + xBytes},
        {"a\r\nb\n", {x}, "\r\n\r\n\r\n" + xBytes},
        {"a\r\nb\r", {x}, "\r\n\r\n" + xBytes},
        {"a", {{"a", "", "", ""}}, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(::testing::PrintToString(r.existing));
        EXPECT_EQ(Additions(r.existing, r.session), r.added);
    }
}

// Holds at most `Limit` favorites, as a 32-bit program holds far fewer than a 64-bit one.
template <std::size_t Limit>
struct LimitedAllocator : std::allocator<Favorite> {
    template <class U>
    struct rebind {
        using other = LimitedAllocator;
    };
    std::size_t max_size() const noexcept { return Limit; }
};

TEST(FavoritesFile, AListTooLargeToHoldEndsTheReadingAndNothingElse) {
    std::string bytes;
    for (int i = 0; i < 8; ++i)
        bytes += "a\r\nb\r\nc\r\nd\r\n";
    const struct {
        std::size_t count, room;
        bool held;
    } rows[] = {{8, 8, false}, {8, 0, false}, {4, 4, true}, {3, 0, true}};
    for (const auto& r : rows) {
        FavoritesReader reader(bytes);
        std::vector<Favorite, LimitedAllocator<4>> out;
        EXPECT_EQ(ReadInto(reader, r.count, r.room, out), r.held) << r.count << " " << r.room;
        if (r.held) {
            EXPECT_EQ(out.size(), r.count);
        }
    }
}
