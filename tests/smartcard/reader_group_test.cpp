#include "smartcard/reader_group.h"

#include "smartcard/resource_manager.h"
#include "smartcard/scard_error.h"
#include "smartcard/sorted_list.h"
#include "tests/smartcard/scripted_pcsc.h"
#include "tests/support/message_recorder.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

using namespace smartcard;

namespace {

TEST(TSortedList, CaseInsensitiveOrderWithoutDuplicates)
{
    TSortedList<> list;
    for (const char* name : {"reader B", "Reader a", "READER A", "reader c", "Reader B"})
        list.Add(name);
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"Reader a", "reader B", "reader c"}));
    EXPECT_EQ(list.IndexOf("READER C"), 2);
    EXPECT_EQ(list.IndexOf("reader d"), -1);
    EXPECT_EQ(list.Add("READER B"), 1);
    EXPECT_TRUE(list.Remove("reader A"));
    EXPECT_FALSE(list.Remove("reader A"));
    try {
        list.Delete(-1);
        ADD_FAILURE();
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (-1)");
    }
    EXPECT_THROW(list.Delete(2), std::out_of_range);

    TSortedList<std::unique_ptr<int>> owned;
    owned.Add("b", std::make_unique<int>(2));
    owned.Add("B", std::make_unique<int>(3));
    owned.Add("a", std::make_unique<int>(1));
    EXPECT_EQ(*owned.Object(owned.IndexOf("b")), 2);
    EXPECT_EQ(*owned.Object(0), 1);
    EXPECT_LT(CompareNames("Virtual PCD 00 00", "virtual pcd 00 01"), 0);
    EXPECT_EQ(CompareNames("ABC", "abc"), 0);
    EXPECT_GT(CompareNames("abcd", "ABC"), 0);
}

class GroupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fake->Attach("B");
        fake->Attach("A");
        manager.SetScope(dsSystem);
    }
    fakepcsc::TFakeScope fake;
    testsupport::MessageRecorder boxes;
    TResourceManager manager;
};

TEST_F(GroupTest, RefreshTakesTheNamesPcscReports)
{
    TSmartcardReaderGroup& group = manager.Groups().GetGroup("SCard$DefaultReaders");
    EXPECT_EQ(&manager.Groups().GetGroup("scard$defaultreaders"), &group);
    EXPECT_FALSE(group.InSync());
    group.Refresh();
    EXPECT_TRUE(group.InSync());
    ASSERT_EQ(group.Count(), 2);
    EXPECT_EQ(group.Names(0), "A");
    EXPECT_EQ(group.RawReaders(), std::string("B\0A\0\0", 5));
    EXPECT_EQ(group.ReaderByName("B").Name(), "B");
    try {
        group.ReaderByName("C");
        ADD_FAILURE();
    } catch (const ESCardError& e) {
        EXPECT_EQ(e.Code(), kReaderNotInGroup);
        EXPECT_STREQ(e.what(), "The specified reader does not belong to the group");
    }
    fake->Attach("C");
    EXPECT_EQ(group.ReaderByName("C").Name(), "C");

    manager.SelectGroup("SCard$DefaultReaders");
    EXPECT_EQ(manager.SelectedCount(), 3);
    manager.UnselectGroup("SCard$DefaultReaders");
    EXPECT_EQ(manager.SelectedCount(), 0);

    fake->groups = std::string("Team\0\0", 6);
    manager.RefreshGroups();
    EXPECT_EQ(manager.Groups().Names().Names(), (std::vector<std::string>{"", "Team"}));
    EXPECT_EQ(manager.Groups().IndexOf("team"), 1);
}

TEST_F(GroupTest, LocalEditsLeaveTheGroupOutOfSync)
{
    TSmartcardReaderGroup& group = manager.Groups().GetGroup("Mine");
    group.Add("X");
    group.Add("x");
    group.Add("Y");
    EXPECT_FALSE(group.InSync());
    EXPECT_EQ(group.RawReaders(), std::string("X\0Y\0\0", 5));
    group.Rename("Y", "Z");
    group.Rename("Q", "W");
    EXPECT_TRUE(group.Contains("z"));
    EXPECT_FALSE(group.Contains("W"));
    try {
        group.Remove("Nope");
        ADD_FAILURE();
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (-1)");
    }
    TSmartcardReaderGroup other(manager, "Other");
    other.Assign(group);
    EXPECT_EQ(other.Count(), 2);
    group.Clear();
    EXPECT_EQ(group.Count(), 0);
    EXPECT_EQ(group.RawReaders(), std::string("\0", 1));
}

TEST_F(GroupTest, CommitNeedsGroupEditingPcscLiteLacks)
{
    TSmartcardReaderGroup& group = manager.Groups().GetGroup("Mine");
    group.Add("A");
    try {
        group.Commit();
        ADD_FAILURE();
    } catch (const ESCardError& e) {
        EXPECT_EQ(e.Code(), SCARD_E_INVALID_TARGET);
        EXPECT_STREQ(e.what(), "Registry startup information is missing or invalid");
    }
    EXPECT_FALSE(group.InSync());
}

TEST_F(GroupTest, FailedGroupListingRaises)
{
    fake->failures["SCardListReaderGroups"] = {SCARD_F_COMM_ERROR};
    EXPECT_THROW(manager.RefreshGroups(), ESCardError);
    EXPECT_TRUE(manager.Groups().Names().Contains("SCard$DefaultReaders"));
}

}  // namespace
