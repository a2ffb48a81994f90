#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "TempDir.h"
#include "orolocstring.h"

namespace {

struct Entry {
    int32_t language;
    std::string text;
    int gender;
    bool operator==(const Entry&) const = default;
};

std::vector<Entry> Entries(const COroLocString& loc)
{
    std::vector<Entry> entries;
    for (int32_t i = 0; i < loc.GetStringCount(); ++i) {
        int32_t nLanguage = 0;
        COroString sText;
        uint8_t nGender = 0;
        EXPECT_EQ(loc.GetStringByIndex(static_cast<uint32_t>(i), nLanguage, sText, nGender), 1);
        entries.push_back(Entry{nLanguage, sText.CStr(), nGender});
    }
    return entries;
}

// Every test runs in a fresh working directory so that the option file is controlled.
class OroLocStringTest : public ::testing::Test {
protected:
    CTempDir m_Dir;
    CScopedWorkingDir m_Cwd{m_Dir.Path()};
};

} // namespace

TEST_F(OroLocStringTest, NewValueHasNoReferenceAndNoEntries)
{
    COroLocString loc;
    EXPECT_EQ(loc.StrRef, -1);
    EXPECT_EQ(loc.GetStringCount(), 0);
    int32_t nLanguage = 7;
    COroString sText("keep");
    uint8_t nGender = 0;
    EXPECT_EQ(loc.GetStringByIndex(0, nLanguage, sText, nGender), 0);
    EXPECT_EQ(loc.GetStringLength(0), 0);
}

TEST_F(OroLocStringTest, LanguageZeroHasNoGender)
{
    COroLocString loc;
    EXPECT_EQ(loc.AddString(0, "first", 1), 1);
    EXPECT_EQ(Entries(loc), (std::vector<Entry>{{0, "first", 0}}));
    COroString sFound;
    EXPECT_EQ(loc.GetString(0, sFound, 1), 1);
    EXPECT_STREQ(sFound.CStr(), "first");
    loc.AddString(0, "second", 0);
    EXPECT_EQ(loc.GetStringCount(), 1);
    EXPECT_EQ(Entries(loc), (std::vector<Entry>{{0, "second", 0}}));
}

TEST_F(OroLocStringTest, EmptyTextsCreateNothingButEmptyAnExistingEntry)
{
    COroLocString loc;
    loc.AddString(3, "", 1);
    EXPECT_EQ(loc.GetStringCount(), 0);
    loc.AddString(3, "text", 1);
    loc.AddString(3, "", 1);
    EXPECT_EQ(loc.GetStringCount(), 1);
    EXPECT_EQ(loc.GetStringLength(0), 0);
    EXPECT_EQ(Entries(loc), (std::vector<Entry>{{3, "", 1}}));
}

TEST_F(OroLocStringTest, EntriesKeepInsertionOrderAndReplacementsKeepTheirPlace)
{
    COroLocString loc;
    loc.AddString(5, "five", 0);
    loc.AddString(1, "one", 1);
    loc.AddString(2, "two", 0);
    loc.AddString(1, "uno", 1);
    EXPECT_EQ(Entries(loc), (std::vector<Entry>{{5, "five", 0}, {1, "uno", 1}, {2, "two", 0}}));
    COroString sMissing("unchanged");
    EXPECT_EQ(loc.GetString(1, sMissing, 0), 0);
    EXPECT_STREQ(sMissing.CStr(), "unchanged");
}

TEST_F(OroLocStringTest, LoadingBothGendersOfLanguageZeroKeepsOneEntry)
{
    // As the file reader stores ids 0 and 1: language id/2, gender id%2.
    COroLocString loc;
    loc.AddString(0 / 2, "neutral", 0 % 2);
    loc.AddString(1 / 2, "later", 1 % 2);
    EXPECT_EQ(Entries(loc), (std::vector<Entry>{{0, "later", 0}}));
}

TEST_F(OroLocStringTest, NegativeIdsSplitWithTruncation)
{
    COroLocString loc;
    // Id -1 arrives as language 0, gender 255: stored as id 0 (language 0 has no gender).
    loc.AddString(-1 / 2, "minus one", static_cast<uint8_t>(-1 % 2));
    // Id -3 arrives as language -1, gender 255: stored as id -2 + 255 = 253.
    loc.AddString(-3 / 2, "minus three", static_cast<uint8_t>(-3 % 2));
    EXPECT_EQ(Entries(loc), (std::vector<Entry>{{0, "minus one", 0}, {126, "minus three", 1}}));
}

TEST_F(OroLocStringTest, RemovingALanguageRemovesBothGenders)
{
    COroLocString loc;
    loc.AddString(5, "m", 0);
    loc.AddString(5, "f", 1);
    loc.AddString(0, "zero", 0);
    loc.AddString(6, "six", 0);
    loc.RemoveString(5);
    EXPECT_EQ(Entries(loc), (std::vector<Entry>{{0, "zero", 0}, {6, "six", 0}}));
    loc.RemoveString(0);
    EXPECT_EQ(Entries(loc), (std::vector<Entry>{{6, "six", 0}}));
    loc.RemoveString(9, 1);  // missing: nothing happens
    EXPECT_EQ(loc.GetStringCount(), 1);
    loc.StrRef = 12;
    loc.Clear();
    EXPECT_EQ(loc.GetStringCount(), 0);
    EXPECT_EQ(loc.StrRef, 12);
}

TEST_F(OroLocStringTest, CopiesAreDeepAndOrdered)
{
    COroLocString source;
    source.StrRef = 99;
    source.AddString(2, "b", 1);
    source.AddString(1, "a", 0);
    COroLocString copy(source);
    COroLocString assigned;
    assigned.AddString(7, "gone", 0);
    assigned = source;
    source.AddString(2, "changed", 1);
    for (const COroLocString* p : {&copy, &assigned}) {
        EXPECT_EQ(p->StrRef, 99);
        EXPECT_EQ(Entries(*p), (std::vector<Entry>{{2, "b", 1}, {1, "a", 0}}));
    }
    const COroLocString& self = assigned;
    assigned = self;
    EXPECT_EQ(assigned.GetStringCount(), 2);
}

TEST_F(OroLocStringTest, StrRefMarkerIsCutOnlyWhenTheOptionIsOne)
{
    ASSERT_TRUE(WriteFileText("tarnplayer.ini", "[Profile]\nShow Data Strref=1\n"));
    COroLocString loc;
    loc.AddString(1, "Word<<STRREF:123>>", 0);
    loc.AddString(2, "<<STRREF:5>>", 0);
    EXPECT_EQ(Entries(loc), (std::vector<Entry>{{1, "Word", 0}, {2, "", 0}}));
    loc.AddString(1, "<<STRREF:9>>", 0);  // an existing entry becomes empty too
    EXPECT_EQ(Entries(loc), (std::vector<Entry>{{1, "", 0}, {2, "", 0}}));

    for (const char* pValue : {"0", "yes", ""}) {
        ASSERT_TRUE(WriteFileText("tarnplayer.ini", std::string("[Profile]\nShow Data Strref=") + pValue + "\n"));
        COroLocString kept;
        kept.AddString(1, "Word<<STRREF:123>>", 0);
        EXPECT_EQ(Entries(kept), (std::vector<Entry>{{1, "Word<<STRREF:123>>", 0}})) << pValue;
    }
}

TEST_F(OroLocStringTest, AnOptionFileThatIsNoRegularFileCountsAsMissing)
{
    // A named pipe without a writer would hold a plain open forever.
    ASSERT_EQ(mkfifo("tarnplayer.ini", 0600), 0);
    COroLocString loc;
    loc.AddString(1, "Word<<STRREF:1>>", 0);
    EXPECT_EQ(Entries(loc), (std::vector<Entry>{{1, "Word<<STRREF:1>>", 0}}));
}

TEST_F(OroLocStringTest, MissingOptionFileStoresTextsUnchanged)
{
    COroLocString loc;
    loc.AddString(1, "Word<<STRREF:1>>", 0);
    EXPECT_EQ(Entries(loc), (std::vector<Entry>{{1, "Word<<STRREF:1>>", 0}}));
}

TEST_F(OroLocStringTest, MovesHandTheEntriesOverAndLeaveValidValues)
{
    COroLocString source;
    source.StrRef = 42;
    source.AddString(1, "one", 0);
    source.AddString(2, "two", 1);
    COroLocString moved(std::move(source));
    EXPECT_EQ(moved.StrRef, 42);
    EXPECT_EQ(Entries(moved), (std::vector<Entry>{{1, "one", 0}, {2, "two", 1}}));
    // The source is an empty value that still works.
    EXPECT_EQ(source.StrRef, -1); // NOLINT(bugprone-use-after-move): the state after a move is specified
    EXPECT_EQ(source.GetStringCount(), 0);
    source.AddString(3, "three", 0);
    EXPECT_EQ(Entries(source), (std::vector<Entry>{{3, "three", 0}}));

    COroLocString target;
    target.StrRef = 7;
    target.AddString(9, "old", 0);
    target = std::move(moved);
    EXPECT_EQ(target.StrRef, 42);
    EXPECT_EQ(Entries(target), (std::vector<Entry>{{1, "one", 0}, {2, "two", 1}}));
    moved.AddString(4, "four", 0); // NOLINT(bugprone-use-after-move): still a usable value
    EXPECT_EQ(Entries(moved).back(), (Entry{4, "four", 0}));

    COroLocString& self = target;
    target = std::move(self);
    EXPECT_EQ(target.StrRef, 42);
    EXPECT_EQ(target.GetStringCount(), 2);
}

TEST_F(OroLocStringTest, EveryChangeOfTheOptionIsSeenByTheNextStore)
{
    auto stored = [](const char* pText) {
        COroLocString loc;
        loc.AddString(1, pText, 0);
        return Entries(loc).front().text;
    };
    ASSERT_TRUE(WriteFileText("tarnplayer.ini", "[Profile]\nShow Data Strref=1\n"));
    EXPECT_EQ(stored("A<<STRREF:1>>"), "A");
    EXPECT_EQ(stored("no marker"), "no marker");
    ASSERT_TRUE(WriteFileText("tarnplayer.ini", "[Profile]\nShow Data Strref=0\n"));
    EXPECT_EQ(stored("B<<STRREF:2>>"), "B<<STRREF:2>>");
    ASSERT_TRUE(WriteFileText("tarnplayer.ini", "[Profile]\nShow Data Strref=1\n"));
    EXPECT_EQ(stored("C<<STRREF:3>>"), "C");
    ASSERT_EQ(std::remove("tarnplayer.ini"), 0);
    EXPECT_EQ(stored("D<<STRREF:4>>"), "D<<STRREF:4>>");
    ASSERT_TRUE(WriteFileText("tarnplayer.ini", "[Profile]\nShow Data Strref=1\n"));
    EXPECT_EQ(stored("E<<STRREF:5>>"), "E");
    // The option file is the one in the current working directory.
    CTempDir other;
    CScopedWorkingDir cwd(other.Path());
    EXPECT_EQ(stored("F<<STRREF:6>>"), "F<<STRREF:6>>");
}

namespace {

// What a value must hold after a sequence of public calls, kept as the rules
// state them: one entry per id in the order ids were first stored, language 0
// without gender, an empty text creating nothing, a replaced text keeping
// its place.
class LocStringModel {
public:
    void Add(int32_t nLanguage, const std::string& sText, uint8_t nGender)
    {
        const int32_t nId = COroLocString::MakeId(nLanguage, nGender);
        for (auto& [nEntryId, sEntry] : m_Entries) {
            if (nEntryId == nId) {
                sEntry = sText;
                return;
            }
        }
        if (!sText.empty())
            m_Entries.emplace_back(nId, sText);
    }
    void Remove(int32_t nLanguage, uint8_t nGender)
    {
        const int32_t nId = COroLocString::MakeId(nLanguage, nGender);
        for (auto it = m_Entries.begin(); it != m_Entries.end(); ++it) {
            if (it->first == nId) {
                m_Entries.erase(it);
                return;
            }
        }
    }
    void Clear() { m_Entries.clear(); }
    std::vector<Entry> Expected() const
    {
        std::vector<Entry> entries;
        for (const auto& [nId, sText] : m_Entries)
            entries.push_back(Entry{nId / 2, sText, nId % 2});
        return entries;
    }

private:
    std::vector<std::pair<int32_t, std::string>> m_Entries;
};

void ExpectMatches(const COroLocString& loc, const LocStringModel& model)
{
    const std::vector<Entry> expected = model.Expected();
    ASSERT_EQ(Entries(loc), expected);
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(loc.GetStringLength(static_cast<uint32_t>(i)), static_cast<int32_t>(expected[i].text.size()));
        COroString sText;
        EXPECT_EQ(loc.GetString(expected[i].language, sText, static_cast<uint8_t>(expected[i].gender)), 1);
        EXPECT_EQ(std::string(sText.CStr()), expected[i].text);
    }
    EXPECT_EQ(loc.GetStringLength(static_cast<uint32_t>(expected.size())), 0);
}

} // namespace

TEST_F(OroLocStringTest, LongSequencesOfChangesKeepOrderAndRules)
{
    // Texts of very different lengths make replacements move the entries
    // behind them, both ways; texts of equal length replace in place. Few languages keep a value small enough
    // to be searched by walking it; many make it keep an index and write
    // changed texts anew.
    const std::string texts[] = {"",   "a", "bb", "a medium length text", std::string(300, 'x'), std::string(5, 'y'),
                                 "cc", "z"};
    for (int nLanguages : {6, 80}) {
    std::mt19937 random(20261209);
    auto pick = [&random](int nCount) { return static_cast<int>(random() % static_cast<unsigned>(nCount)); };
    COroLocString loc;
    LocStringModel model;
    for (int nStep = 0; nStep < 3000; ++nStep) {
        const int32_t nLanguage = pick(nLanguages);
        const uint8_t nGender = static_cast<uint8_t>(pick(2));
        const int nAction = pick(20);
        if (nAction < 14) {
            const std::string& sText = texts[pick(8)];
            EXPECT_EQ(loc.AddString(nLanguage, sText.c_str(), nGender), 1);
            model.Add(nLanguage, sText, nGender);
        } else if (nAction < 17) {
            loc.RemoveString(nLanguage, nGender);
            model.Remove(nLanguage, nGender);
        } else if (nAction < 19) {
            loc.RemoveString(nLanguage);
            model.Remove(nLanguage, 0);
            model.Remove(nLanguage, 1);
        } else if (pick(10) == 0) {
            loc.Clear();
            model.Clear();
        }
        ASSERT_NO_FATAL_FAILURE(ExpectMatches(loc, model)) << "step " << nStep << " of " << nLanguages;

        if (nStep % 97 == 0) {
            // Copies and moves carry the same entries and stay independent.
            COroLocString copy(loc);
            COroLocString assigned;
            assigned.AddString(9, "dropped by the assignment", 1);
            assigned = loc;
            ASSERT_NO_FATAL_FAILURE(ExpectMatches(copy, model));
            ASSERT_NO_FATAL_FAILURE(ExpectMatches(assigned, model));
            copy.AddString(7, "only in the copy", 0);
            assigned.RemoveString(nLanguage);
            ASSERT_NO_FATAL_FAILURE(ExpectMatches(loc, model));
            COroLocString moved(std::move(copy));
            LocStringModel movedModel = model;
            movedModel.Add(7, "only in the copy", 0);
            ASSERT_NO_FATAL_FAILURE(ExpectMatches(moved, movedModel));
            loc = std::move(moved);
            model = movedModel;
        }
    }
}
}

TEST_F(OroLocStringTest, AddingBytesStoresWhatAStringOfThoseBytesWouldStore)
{
    const struct {
        const char* pName;
        std::string bytes;
        int32_t nLength;
    } cases[] = {
        {"whole", "abc", 3},
        {"cut by the length", "abcdef", 2},
        {"cut at a zero byte", std::string("ab\0cd", 5), 5},
        {"zero byte first", std::string("\0cd", 3), 3},
        {"no length", "abc", 0},
        {"negative length", "abc", -4},
        {"marker kept without the option", "W<<STRREF:1>>", 13},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pName);
        // Each case on a new entry and on an existing one.
        COroLocString fromBytes, fromString;
        fromBytes.AddString(1, "before", 1);
        fromString.AddString(1, "before", 1);
        for (int32_t nLanguage : {1, 4}) {
            EXPECT_EQ(fromBytes.AddString(nLanguage, c.bytes.data(), c.nLength, 1), 1);
            EXPECT_EQ(fromString.AddString(nLanguage, COroString(c.bytes.data(), c.nLength), 1), 1);
        }
        EXPECT_EQ(Entries(fromBytes), Entries(fromString));
    }
    COroLocString none;
    EXPECT_EQ(none.AddString(2, nullptr, 5, 0), 1);
    EXPECT_EQ(none.GetStringCount(), 0);

    ASSERT_TRUE(WriteFileText("tarnplayer.ini", "[Profile]\nShow Data Strref=1\n"));
    COroLocString cut;
    const std::string sMarked = "Word<<STRREF:7>>tail";
    cut.AddString(2, sMarked.data(), static_cast<int32_t>(sMarked.size()), 0);
    cut.AddString(3, sMarked.data(), 9, 0);  // the marker lies past the length
    EXPECT_EQ(Entries(cut), (std::vector<Entry>{{2, "Word", 0}, {3, "Word<<STR", 0}}));
}

TEST_F(OroLocStringTest, ReservingRoomChangesNoResult)
{
    COroLocString loc;
    loc.AddString(1, "one", 0);
    loc.Reserve(3, 40);
    loc.AddString(2, "two", 1);
    loc.AddString(1, "a longer text than the room reserved for it", 0);
    loc.Reserve(0, 0);
    EXPECT_EQ(Entries(loc),
              (std::vector<Entry>{{1, "a longer text than the room reserved for it", 0}, {2, "two", 1}}));
    loc.Clear();
    loc.Reserve(1, 2);
    EXPECT_EQ(loc.GetStringCount(), 0);
    loc.AddString(3, "abc", 1);
    EXPECT_EQ(Entries(loc), (std::vector<Entry>{{3, "abc", 1}}));
}
