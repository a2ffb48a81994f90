#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "orolinkedlist.h"
#include "ororeportrecorder.h"

namespace {

std::vector<int> Contents(const COroLinkedList<int>& list)
{
    std::vector<int> values;
    OroPosition pos = list.GetHeadPos();
    for (int* p = list.GetHead(); p; p = list.GetNext(pos))
        values.push_back(*p);
    return values;
}

} // namespace

TEST(OroLinkedList, AddsAtBothEndsAndIteratesInOrder)
{
    int a = 1, b = 2, c = 3;
    COroLinkedList<int> list;
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetHead(), nullptr);
    OroPosition posB = list.AddTail(&b);
    EXPECT_EQ(list.GetHeadPos(), posB);
    EXPECT_EQ(list.GetTailPos(), posB);
    list.AddHead(&a);
    list.AddTail(&c);
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(Contents(list), (std::vector<int>{1, 2, 3}));
}

TEST(OroLinkedList, GetNextPastTheLastNodeClearsThePosition)
{
    int a = 1;
    COroLinkedList<int> list;
    OroPosition pos = list.AddTail(&a);
    EXPECT_EQ(list.GetNext(pos), nullptr);
    EXPECT_EQ(pos, nullptr);
}

TEST(OroLinkedList, RemoveRelinksNeighboursAndEnds)
{
    int a = 1, b = 2, c = 3;
    COroLinkedList<int> list;
    list.AddTail(&a);
    OroPosition posB = list.AddTail(&b);
    OroPosition posC = list.AddTail(&c);
    EXPECT_EQ(list.Remove(posC), &c);
    EXPECT_EQ(list.GetTailPos(), posB);
    EXPECT_EQ(posB->next, nullptr);
    EXPECT_EQ(Contents(list), (std::vector<int>{1, 2}));
    EXPECT_EQ(list.RemoveHead(), &a);
    EXPECT_EQ(list.Remove(posB), &b);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetHeadPos(), nullptr);
    EXPECT_EQ(list.GetTailPos(), nullptr);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(OroLinkedList, ElementsAreNeitherCopiedNorFreedByTheList)
{
    // Heap elements, so that a list freeing or overwriting them shows under
    // the address sanitizer and in the values read back.
    auto pKept = std::make_unique<int>(7);
    auto pRemoved = std::make_unique<int>(8);
    {
        COroLinkedList<int> list;
        list.AddTail(pKept.get());
        OroPosition pos = list.AddTail(pRemoved.get());
        EXPECT_EQ(list.Remove(pos), pRemoved.get());
        *list.GetHead() = 70;  // the list hands out the element itself
    }  // destroyed with pKept still in it
    EXPECT_EQ(*pKept, 70);
    EXPECT_EQ(*pRemoved, 8);
}

TEST(OroLinkedList, MisuseWarnsAndReturnsNone)
{
    COroReportRecorder recorder;
    COroLinkedList<int> list;
    OroPosition none = nullptr;
    EXPECT_EQ(list.GetNext(none), nullptr);
    EXPECT_EQ(list.Remove(nullptr), nullptr);
    EXPECT_EQ(list.RemoveHead(), nullptr);
    ASSERT_EQ(recorder.Count(), 3u);
    EXPECT_EQ(recorder.Reports()[0].line, 243);
    EXPECT_EQ(recorder.Reports()[0].message, "COroLinkedListInternal::GetNext() Position paramter is NULL");
    EXPECT_EQ(recorder.Reports()[1].line, 295);
    EXPECT_EQ(recorder.Reports()[1].message, "COroLinkedListInternal::Remove() Position paramter is NULL");
    EXPECT_EQ(recorder.Reports()[2].line, 345);
    EXPECT_EQ(recorder.Reports()[2].message, "COroLinkedListInternal::RemoveHead() Removing from empty List");
    EXPECT_EQ(recorder.CountFrom("orolinkedlistinternal"), 3u);
    EXPECT_EQ(list.GetCount(), 0);
}
