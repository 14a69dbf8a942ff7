#include "favorites/favorites_file.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvane {
namespace {

using namespace std::string_literals;

const std::string kChessFile = "Chess on CPU 1\r\n"
                               "1__c:\\games\\chess\\chess.exe\r\n"
                               "c:\\games\\chess\r\n"
                               "None\r\n";

const Favorite kChess{"Chess on CPU 1", R"(1__c:\games\chess\chess.exe)", R"(c:\games\chess)", "None"};

TEST(FavoritesFileRead, LineEnds) {
    EXPECT_EQ(ParseFavorites(kChessFile), std::vector<Favorite>{kChess});

    // A lone CR ends a line just as CR LF does.
    EXPECT_EQ(ParseFavorites("a\rb\r\nc\rd\r"), (std::vector<Favorite>{{"a", "b", "c", "d"}}));

    // A lone LF is text, wherever it stands in the line.
    EXPECT_EQ(ParseFavorites("\na\nb\n\r\nc\r\nd\r\ne\n"),
              (std::vector<Favorite>{{"\na\nb\n", "c", "d", "e\n"}}));

    // CR LF takes a single LF with it; the next LF starts the next line.
    EXPECT_EQ(ParseFavorites("a\r\n\nb\r\n\r\n\n"), (std::vector<Favorite>{{"a", "\nb", "", "\n"}}));

    // LF CR is text followed by a lone CR, not a line end plus a blank line.
    EXPECT_EQ(ParseFavorites("a\n\rb\rc\rd"), (std::vector<Favorite>{{"a\n", "b", "c", "d"}}));

    // CR CR LF is two line ends, the second line empty.
    EXPECT_EQ(ParseFavorites("a\r\r\nc\r\nd\r\n"), (std::vector<Favorite>{{"a", "", "c", "d"}}));
}

TEST(FavoritesFileRead, LastLineWithoutLineEndCounts) {
    const std::string bytes = kChessFile.substr(0, kChessFile.size() - 2);
    EXPECT_EQ(ParseFavorites(bytes), std::vector<Favorite>{kChess});
    EXPECT_EQ(ParseFavorites("a\r\nb\r\nc\r\nd\r\ne"),
              (std::vector<Favorite>{{"a", "b", "c", "d"}, {"e", "", "", ""}}));
}

TEST(FavoritesFileRead, RecordCutShortKeepsItsFieldsInPlace) {
    // Six lines: the second record has a display text and a coded target,
    // and nothing is shifted into the wrong field.
    const std::string six = kChessFile + "Go on Default\r\n2__c:\\go.exe\r\n";
    const std::vector<Favorite> read = ParseFavorites(six);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0], kChess);
    EXPECT_EQ(read[1], (Favorite{"Go on Default", R"(2__c:\go.exe)", "", ""}));
    // Written back, the record is completed with two empty lines.
    EXPECT_EQ(SerializeFavorites(read), six + "\r\n\r\n");

    EXPECT_EQ(ParseFavorites("a\r\nb\r\nc"), (std::vector<Favorite>{{"a", "b", "c", ""}}));
    EXPECT_EQ(ParseFavorites("a\r"), (std::vector<Favorite>{{"a", "", "", ""}}));
    EXPECT_EQ(ParseFavorites("a"), (std::vector<Favorite>{{"a", "", "", ""}}));
}

TEST(FavoritesFileRead, EmptyLineAfterLastRecordIsAnEmptyFavorite) {
    const std::vector<Favorite> read = ParseFavorites(kChessFile + "\r\n");
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[1], Favorite{});
    EXPECT_EQ(SerializeFavorites(read), kChessFile + "\r\n\r\n\r\n\r\n");
}

TEST(FavoritesFileRoundTrip, FourLinesComeBackByteForByte) {
    EXPECT_EQ(SerializeFavorites(ParseFavorites(kChessFile)), kChessFile);
    EXPECT_EQ(SerializeFavorites({kChess}), kChessFile);
}

TEST(FavoritesFileRoundTrip, LoneCrAndMissingLastLineEndBecomeCrLf) {
    EXPECT_EQ(SerializeFavorites(ParseFavorites("a\rb\r\nc\rd")), "a\r\nb\r\nc\r\nd\r\n");
}

TEST(FavoritesFileRoundTrip, EmptyStoreIsZeroBytes) {
    EXPECT_TRUE(ParseFavorites("").empty());
    EXPECT_EQ(SerializeFavorites({}), "");
}

TEST(FavoritesFileRoundTrip, NulAndHighBytesPassUnchanged) {
    std::string all;
    for (int c = 0; c < 256; ++c) {
        if (c != '\r') all += static_cast<char>(c);
    }
    const Favorite odd{"T\0tle on CPU 0"s, all, "c:\\caf\xE9\x80\xFF", "\0"s};
    const std::string bytes = SerializeFavorites({odd, kChess});
    EXPECT_EQ(bytes.size(), odd.display.size() + all.size() + odd.startIn.size() + 1 + 8 + kChessFile.size());
    EXPECT_EQ(ParseFavorites(bytes), (std::vector<Favorite>{odd, kChess}));
    EXPECT_EQ(SerializeFavorites(ParseFavorites(bytes)), bytes);
}

TEST(FavoritesFileRoundTrip, VeryLongLine) {
    const std::string longParams(3 * 1024 * 1024 + 7, 'p');
    const Favorite big{"Big on CPU 0", R"(0__c:\big.exe)", "c:", longParams};
    const std::string bytes = SerializeFavorites({big, kChess});
    EXPECT_EQ(ParseFavorites(bytes), (std::vector<Favorite>{big, kChess}));
}

TEST(FavoritesFileRoundTrip, DuplicateRecordsAreBothKept) {
    const std::string twice = kChessFile + kChessFile;
    EXPECT_EQ(ParseFavorites(twice), (std::vector<Favorite>{kChess, kChess}));
    EXPECT_EQ(SerializeFavorites(ParseFavorites(twice)), twice);
}

TEST(FavoritesFileRoundTrip, FortyThousandRecords) {
    std::vector<Favorite> many;
    std::string expected;
    for (int i = 0; i < 40000; ++i) {
        const std::string n = std::to_string(i);
        Favorite f{"Game " + n + " on CPU " + std::to_string(i % 2),
                   std::to_string(i % 3) + "__c:\\games\\g" + n + "\\g" + n + ".exe",
                   i % 7 == 0 ? "" : "c:\\games\\g" + n, i % 5 == 0 ? "None" : "-level " + n};
        expected += f.display + "\r\n" + f.coded + "\r\n" + f.startIn + "\r\n" + f.params + "\r\n";
        many.push_back(std::move(f));
    }
    const std::string bytes = SerializeFavorites(many);
    EXPECT_EQ(bytes, expected);
    const std::vector<Favorite> read = ParseFavorites(bytes);
    ASSERT_EQ(read.size(), many.size());
    EXPECT_EQ(read.back(), many.back());
    EXPECT_TRUE(read == many);
}

}  // namespace
}  // namespace corvane
