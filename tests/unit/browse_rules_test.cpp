#include "panels/browse_rules.hpp"

#include <gtest/gtest.h>

#include "cp932.hpp"

using namespace corvane;

using Texts = std::vector<std::string>;

// Read with code page 932's lead bytes: "\x83\x5C" is "ソ", "\x95\x5C" ends "一覧表", one character each.
const LeadBytes kCp932 = WithCp932(AsciiLower()).lead;

// Each row gives the lines' texts and their paths, each joined by '|'.
TEST(BrowseRules, FolderListShowsTheOpenChainThenTheChildren) {
    struct Row {
        std::string path;
        Texts children;
        std::string texts, paths;
        std::size_t current;
    };
    const Row rows[] = {
        {"c:\\", {"a", "b"}, "c:\\|  a|  b|", "c:\\|c:\\a|c:\\b|", 0},
        {"c:\\a\\b", {}, "c:\\|  a|    b|", "c:\\|c:\\a|c:\\a\\b|", 2},
        {R"(\\s\h\x)", {"y"}, R"(\\s|  h|    x|      y|)", R"(\\s|\\s\h|\\s\h\x|\\s\h\x\y|)", 2},
        {"ab\\c", {}, "ab|  c|", "ab|ab\\c|", 1},
        {"c:\\\x95\x5C", {"x"}, "c:\\|  \x95\x5C|    x|", "c:\\|c:\\\x95\x5C|c:\\\x95\x5C\\x|", 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path);
        const FolderListing listing = ListFolders(r.path, r.children, kCp932);
        std::string texts;
        std::string paths;
        for (const FolderLine& line : listing.lines) {
            texts += line.text + '|';
            paths += line.path + '|';
        }
        EXPECT_EQ(texts, r.texts);
        EXPECT_EQ(paths, r.paths);
        EXPECT_EQ(listing.currentLine, r.current);
    }
}

TEST(BrowseRules, DrivesFoldersAndPrograms) {
    const std::pair<std::string, bool> roots[] = {{"c:\\", true}, {"c:", false}, {"c:\\a", false}, {"c:/", false}};
    for (const auto& [path, root] : roots)
        EXPECT_EQ(IsDriveRoot(path), root) << path;
    const struct {
        std::string path, with, without;
    } slashed[] = {
        {"c:\\", "c:\\", "c:\\"},
        {"c:\\a", "c:\\a\\", "c:\\a"},
        {"c:\\a\\\\", "c:\\a\\\\", "c:\\a"},
        {"c:\\\x83\x5C", "c:\\\x83\x5C\\", "c:\\\x83\x5C"},
    };
    for (const auto& r : slashed) {
        EXPECT_EQ(WithBackslash(r.path, kCp932), r.with) << r.path;
        EXPECT_EQ(WithoutTrailingBackslash(r.path, kCp932), r.without) << r.path;
    }
    const std::pair<std::string, bool> exes[] = {
        {"a.ExE", true}, {".exe", true}, {"exe", false}, {"a.exe1", false}, {"a_exe", false}};
    for (const auto& [name, exe] : exes)
        EXPECT_EQ(HasExeExtension(name), exe) << name;
    const std::pair<std::string, std::optional<std::string>> drops[] = {
        {"c:\\my \"x\"\\a.EXE", "c:\\my x\\a.EXE"}, {"\"c:\\a.exe\"", std::nullopt}, {"c:\\a.txt", std::nullopt}};
    for (const auto& [path, target] : drops)
        EXPECT_EQ(DroppedTarget(path), target) << path;
}
