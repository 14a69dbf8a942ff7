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
        {"\na\nb\n\r\nc\r\nd\r\ne\n", {{"\na\nb\n", "c", "d", "e\n"}}, "\na\nb\n\r\nc\r\nd\r\ne\n\r\n"},
        {"a\r\n\nb\r\n\r\n\n", {{"a", "\nb", "", "\n"}}, "a\r\n\nb\r\n\r\n\n\r\n"},
        {"a\r", {{"a", "", "", ""}}, "a\r\n\r\n\r\n\r\n"},
        {"a\r\nb\r\nc\r\nd\r\n\r\n", {{"a", "b", "c", "d"}, {}}, "a\r\nb\r\nc\r\nd\r\n\r\n\r\n\r\n\r\n"},
        {"T\0x\r\n\xFF\x83\x41\r\n \r\n"s, {{"T\0x"s, "\xFF\x83\x41", " ", ""}}, "T\0x\r\n\xFF\x83\x41\r\n \r\n\r\n"s},
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
    const Favorite typed{"Chess\r\n on CPU 1", "1__c:\\a\n.exe", "c:\\\r", "-x\r\n-y"};
    const std::string written = "Chess\n on CPU 1\r\n1__c:\\a\n.exe\r\nc:\\\r\n-x\n-y\r\n";
    EXPECT_EQ(SerializeFavorites({typed}), written);
    std::string out = "kept\r\n";
    AppendFavorite(out, typed);
    EXPECT_EQ(out, "kept\r\n" + written);
}

// What another program left in the file, with the session's changes made to it: its bytes kept as they stand, the
// records it holds already (compared as written) not added again, the last one closed before the first added.
TEST(FavoritesFile, MergeMakesTheSessionsChangesToWhatAnotherProgramLeft) {
    const Favorite a{"a", "1", "2", "3"}, b{"b", "1", "2", "3"}, c{"c", "1", "2", "3"};
    const std::string aBytes = "a\r\n1\r\n2\r\n3\r\n", bBytes = "b\r\n1\r\n2\r\n3\r\n", cBytes = "c\r\n1\r\n2\r\n3\r\n";
    const std::string aLoneCr = "a\r1\r2\r3\r", bLf = "b\r\n1\r\n2\r\n3\nx\r\n";  // b with a lone LF is not b
    struct Row {
        const char* name;
        std::string onDisk;
        Changes changes;
        std::string merged;
    };
    const Row rows[] = {
        {"added", aLoneCr + bLf, {{c}, {}}, aLoneCr + bLf + cBytes},
        {"removed: the first copy", bBytes + aLoneCr + aBytes, {{}, {a}}, bBytes + aBytes},
        {"removed twice, held once", aBytes + bLf, {{}, {a, a}}, bLf},
        {"both", aBytes + bBytes, {{c}, {b}}, aBytes + cBytes},
        {"added by the other program too", "c\r1\r2\r3\r" + aBytes, {{c}, {}}, "c\r1\r2\r3\r" + aBytes},
        {"cut off inside a record", aBytes + "b\r\n1\n", {{c}, {a}}, "b\r\n1\n\r\n\r\n\r\n" + cBytes},
        {"gone", "", {{c}, {a}}, cBytes},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(MergeChanges(r.onDisk, r.changes), r.merged) << r.name;
    }
    EXPECT_NE(FingerprintOf(aBytes), FingerprintOf(bBytes));
    EXPECT_NE(FingerprintOf(""), FileFingerprint{}) << "an empty file is not a missing one";
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
    } rows[] = {{8, 8, false}, {8, 0, false}, {4, 4, true}};
    for (const auto& r : rows) {
        FavoritesReader reader(bytes);
        std::vector<Favorite, LimitedAllocator<4>> out;
        EXPECT_EQ(ReadInto(reader, r.count, r.room, out), r.held) << r.count << " " << r.room;
        if (r.held) {
            EXPECT_EQ(out.size(), r.count);
        }
    }
}
