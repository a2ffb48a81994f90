// Whole-file replacement through links: a link is written through to the
// file it names, and a path that cannot be looked up is refused rather than
// having the link replaced by a file.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "TempDir.h"
#include "atomicfile.h"

TEST(AtomicFile, ALinkIsWrittenThroughAndStaysALink)
{
    CTempDir dir;
    ASSERT_EQ(symlink("target.txt", dir.File("link.txt").c_str()), 0);
    // A dangling link gets its target created.
    ASSERT_TRUE(ReplaceFileAtomically(dir.File("link.txt"), "first"));
    ASSERT_TRUE(ReplaceFileAtomically(dir.File("link.txt"), "second"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.txt")));
    EXPECT_EQ(ReadFileText(dir.File("target.txt")), "second");
}

TEST(AtomicFile, APathThatCannotBeLookedUpIsRefusedAndLeftAlone)
{
    CTempDir dir;
    ASSERT_EQ(symlink("b.txt", dir.File("a.txt").c_str()), 0);
    ASSERT_EQ(symlink("a.txt", dir.File("b.txt").c_str()), 0);
    ASSERT_TRUE(WriteFileText(dir.File("plain.txt"), "plain"));
    // Links in a circle, and a file used as a folder.
    EXPECT_FALSE(ReplaceFileAtomically(dir.File("a.txt"), "new"));
    EXPECT_FALSE(ReplaceFileAtomically(dir.File("plain.txt/inside.txt"), "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("a.txt")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("b.txt")));
    EXPECT_EQ(ReadFileText(dir.File("plain.txt")), "plain");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()),
              3);
}
