// CRes, the resource manager's release side, and the hand-over of data
// between the manager and CResKVT.

#include <unistd.h>

#include <cstring>

#include "ResmanFixture.h"
#include "ororesman.h"

namespace {

constexpr uint32_t kMiB = 1024 * 1024;

// A resource that counts the manager's calls into it.
class CCountingRes : public CRes {
public:
    bool OnResourceReleased() override
    {
        ++m_nReleasedCalls;
        return true;
    }
    int m_nReleasedCalls = 0;
};

// Gives the resource manager data of n bytes, as the delivery side would.
void GiveData(CRes& res, uint32_t nSize, bool bPrefixed = false)
{
    uint8_t* pBlock = new uint8_t[nSize + (bPrefixed ? 6 : 0)];
    res.m_pData = pBlock + (bPrefixed ? 6 : 0);
    res.m_bPrefixedData = bPrefixed ? 1 : 0;
    res.m_nDataSize = nSize;
    res.m_nStatus |= ORORES_STATUS_DEMANDED_DATA;
}

} // namespace

using ResMan = ResmanTest;

TEST_F(ResMan, BudgetIsHalfTheMemoryButAtLeastSixteenMiB)
{
    EXPECT_EQ(COroResMan::BudgetForMemory(20 * kMiB), 16 * kMiB);
    EXPECT_EQ(COroResMan::BudgetForMemory(64 * kMiB), 32 * kMiB);
    EXPECT_EQ(COroResMan::BudgetForMemory(32 * kMiB), 16 * kMiB);
    EXPECT_EQ(COroResMan::BudgetForMemory(32 * kMiB + 2), 16 * kMiB + 1);
    EXPECT_EQ(COroResMan::BudgetForMemory(0x7FFFFFFEu), 0x3FFFFFFFu);
    // Halved as a signed number: 2 GiB and more (and the clamped 0xFFFFFFFF) give the minimum.
    EXPECT_EQ(COroResMan::BudgetForMemory(0x80000000u), 16 * kMiB);
    EXPECT_EQ(COroResMan::BudgetForMemory(0xFFFFFFFFu), 16 * kMiB);
    EXPECT_EQ(COroResMan::BudgetForMemory(0), 16 * kMiB);
}

TEST_F(ResMan, PhysicalMemoryIsClampedToThirtyTwoBits)
{
    const unsigned long long nBytes = static_cast<unsigned long long>(sysconf(_SC_PHYS_PAGES)) *
                                      static_cast<unsigned long long>(sysconf(_SC_PAGESIZE));
    const uint32_t nExpected = nBytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(nBytes);
    EXPECT_EQ(COroResMan::QueryPhysicalMemory(), nExpected);
    COroResMan manager;
    EXPECT_EQ(manager.GetPhysicalMemory(), nExpected);
    EXPECT_EQ(manager.GetTotalBudget(), COroResMan::BudgetForMemory(nExpected));
    EXPECT_EQ(manager.GetAvailableBudget(), manager.GetTotalBudget());
}

TEST_F(ResMan, ResourceObjectsStartEmpty)
{
    CCountingRes res;
    EXPECT_EQ(res.m_nDemands, 0);
    EXPECT_EQ(res.m_nResID, 0xFFFFFFFFu);
    EXPECT_EQ(res.m_nStatus, 0u);
    EXPECT_EQ(res.m_pData, nullptr);
    EXPECT_EQ(res.m_pKeyEntry, nullptr);
    EXPECT_EQ(res.m_nDataSize, 0u);
    EXPECT_EQ(res.m_nRefCount, 0);
    EXPECT_EQ(res.m_bPrefixedData, 0);
    EXPECT_EQ(res.GetResType(), -1);
    EXPECT_EQ(res.GetResFlags(), 0);
}

TEST_F(ResMan, DestroyingAResourceWithTheManagerIsSilent)
{
    {
        CResKVT res;
    }
    {
        CResKVT res;
        CKvtStructHandle top;
        ASSERT_TRUE(res.CreateNew(&top, "TEST"));
        ASSERT_TRUE(res.WriteINT(&top, 1, "a"));
    }
    EXPECT_EQ(m_recorder.Count(), 0u) << DescribeReports(m_recorder);
}

TEST_F(ResMan, DestroyingWithoutTheManagerWarns)
{
    COroResMan* pManager = g_pOroResMan;
    g_pOroResMan = nullptr;
    {
        CResKVT res;
    }
    g_pOroResMan = pManager;
    ASSERT_EQ(m_recorder.Count(), 1u);
    EXPECT_EQ(m_recorder.Reports()[0].module, "ororesman");
    EXPECT_EQ(m_recorder.Reports()[0].line, 578);
    EXPECT_FALSE(m_recorder.Reports()[0].hasMessage);
}

TEST_F(ResMan, DestroyingWhileDemandedWarns)
{
    {
        CCountingRes res;
        res.m_nDemands = 1;
        res.m_nResID = static_cast<uint32_t>(-5);
    }
    ASSERT_EQ(m_recorder.Count(), 1u);
    EXPECT_EQ(m_recorder.Reports()[0].line, 509);
    EXPECT_FALSE(m_recorder.Reports()[0].hasMessage);
}

TEST_F(ResMan, ReleaseDropsDemandsAndFreesOnTheSecondRelease)
{
    COroResMan manager;
    EXPECT_EQ(manager.Release(nullptr), -1);
    CCountingRes res;
    EXPECT_EQ(manager.Release(&res), -1); // nobody demands it
    res.m_nDemands = 3;
    EXPECT_EQ(manager.Release(&res), 3);
    EXPECT_EQ(res.m_nDemands, 2);
    res.m_nDemands = 1;
    GiveData(res, 1000);
    EXPECT_EQ(manager.Release(&res), 0);
    EXPECT_EQ(res.m_nDemands, 0);
    EXPECT_NE(res.m_nStatus & ORORES_STATUS_RELEASED, 0u);
    EXPECT_EQ(manager.GetReleasedList().GetCount(), 1);
    EXPECT_NE(res.m_pData, nullptr); // released resources keep their data

    res.m_nDemands = 1; // demanded again, then released again: now it goes
    EXPECT_EQ(manager.Release(&res), 0);
    EXPECT_EQ(res.m_pData, nullptr);
    EXPECT_EQ(res.m_nDataSize, 0u);
    EXPECT_EQ(res.m_nStatus, 0u);
    EXPECT_EQ(res.m_nReleasedCalls, 1);
    EXPECT_EQ(manager.GetReleasedList().GetCount(), 0);
    EXPECT_EQ(manager.GetAvailableBudget(), manager.GetTotalBudget() + 1000);
    EXPECT_EQ(m_recorder.Count(), 0u);
}

TEST_F(ResMan, FreeNeedsDataAndAReleasedResource)
{
    COroResMan manager;
    CCountingRes res;
    EXPECT_FALSE(manager.Free(nullptr));
    EXPECT_FALSE(manager.Free(&res)); // no data
    GiveData(res, 16, true);
    EXPECT_FALSE(manager.Free(&res)); // not on the released list
    res.m_nDemands = 1;
    manager.Release(&res);
    res.m_nStatus |= ORORES_STATUS_LOCKED_DATA;
    EXPECT_FALSE(manager.Free(&res)); // locked data is kept
    EXPECT_NE(res.m_pData, nullptr);
    res.m_nStatus &= ~ORORES_STATUS_LOCKED_DATA;
    res.m_nDemands = 2;
    EXPECT_TRUE(manager.Free(&res)); // frees from 6 bytes before the data
    ASSERT_EQ(m_recorder.Count(), 1u);
    EXPECT_EQ(m_recorder.Reports()[0].line, 1682);
    EXPECT_EQ(m_recorder.Reports()[0].message, "COroResMan::Free(): An object is demanding this resource.");
    EXPECT_EQ(res.m_pData, nullptr);
    EXPECT_EQ(res.m_nReleasedCalls, 2);
    res.m_nDemands = 0;
}

TEST_F(ResMan, ReleaseResObjectUndoesOneInstallation)
{
    COroResMan manager;
    EXPECT_EQ(manager.ReleaseResObject(nullptr), 0);
    ASSERT_EQ(m_recorder.Count(), 1u);
    EXPECT_EQ(m_recorder.Reports()[0].line, 2490);
    m_recorder.Clear();

    CCountingRes res;
    OroResKey_st key{&res};
    res.m_pKeyEntry = &key;
    res.m_nRefCount = 3;
    EXPECT_EQ(manager.ReleaseResObject(&res), 2);
    res.m_nRefCount = 1;
    res.m_nDemands = 1;
    EXPECT_EQ(manager.ReleaseResObject(&res), 0);
    ASSERT_EQ(m_recorder.Count(), 1u);
    EXPECT_EQ(m_recorder.Reports()[0].line, 2505);
    EXPECT_EQ(m_recorder.Reports()[0].message, "COroResMan::ReleaseResObject Resource not released");
    EXPECT_EQ(key.pObject, &res);

    res.m_nDemands = 0;
    res.m_nRefCount = 1;
    res.m_nStatus = ORORES_STATUS_KEYED;
    EXPECT_EQ(manager.ReleaseResObject(&res), 0);
    EXPECT_EQ(res.m_nRefCount, 0);
    EXPECT_EQ(key.pObject, nullptr);
    EXPECT_NE(res.m_nStatus & ORORES_STATUS_KEY_RELEASED, 0u);
}

TEST_F(ResMan, DeliveredKvtDataIsCheckedAndBorrowed)
{
    CKvtImageBuilder image;
    image.m_sFileType = "KVTA";
    image.m_Structs.push_back({0xFFFFFFFF, 0, 1});
    image.AddField(KVT_INT, image.AddLabel("n"), 42);
    const std::vector<uint8_t> bytes = image.Build();
    CResKVT res;
    EXPECT_FALSE(res.OnResourceServiced()); // no data yet
    GiveData(res, static_cast<uint32_t>(bytes.size()));
    res.m_nStatus = 0; // the test keeps the data's ownership
    std::memcpy(res.m_pData, bytes.data(), bytes.size());

    EXPECT_FALSE(res.OnResourceServiced()); // expected type never set
    ASSERT_EQ(m_recorder.Count(), 1u);
    EXPECT_EQ(m_recorder.Reports()[0].line, 225);
    EXPECT_EQ(m_recorder.Reports()[0].message, "File type not set before demanding KVT");
    EXPECT_EQ(res.GetHeader(), nullptr);
    m_recorder.Clear();

    res.SetExpectedFileType("KVTB");
    EXPECT_FALSE(res.OnResourceServiced());
    EXPECT_EQ(m_recorder.Count(), 0u);

    res.SetExpectedFileType("KVTA");
    std::memcpy(static_cast<uint8_t*>(res.m_pData) + 4, "V3.1", 4);
    EXPECT_FALSE(res.OnResourceServiced());
    ASSERT_EQ(m_recorder.Count(), 1u);
    EXPECT_EQ(m_recorder.Reports()[0].line, 233);
    EXPECT_EQ(m_recorder.Reports()[0].message, "CResKVT::OnResourceServiced()  Resource is invalid version.");
    EXPECT_EQ(res.GetHeader(), nullptr);

    std::memcpy(static_cast<uint8_t*>(res.m_pData) + 4, "V3.2", 4);
    ASSERT_TRUE(res.OnResourceServiced());
    EXPECT_EQ(static_cast<const void*>(res.GetHeader()), res.m_pData); // read in place
    CKvtStructHandle top{0};
    int32_t bOk = 0;
    EXPECT_EQ(res.ReadINT(&top, "n", &bOk, 0), 42);
    // Released by the manager: the borrowed view is forgotten.
    EXPECT_TRUE(res.OnResourceReleased());
    EXPECT_EQ(res.GetHeader(), nullptr);

    // Served again and then written to: the object makes its own copy first.
    ASSERT_TRUE(res.OnResourceServiced());
    ASSERT_TRUE(res.WriteINT(&top, 7, "m"));
    EXPECT_NE(static_cast<const void*>(res.GetHeader()), res.m_pData);
    EXPECT_EQ(res.ReadINT(&top, "n", &bOk, 0), 42);
    EXPECT_EQ(res.ReadINT(&top, "m", &bOk, 0), 7);

    delete[] static_cast<uint8_t*>(res.m_pData);
    res.m_pData = nullptr;
}

TEST_F(ResMan, DeliveredDataWithSectionsOutsideIsRefused)
{
    CKvtImageBuilder image;
    image.m_sFileType = "KVTA";
    image.m_Structs.push_back({0xFFFFFFFF, 0xFFFFFFFF, 0});
    image.m_Overrides[hwFieldCount] = 50;
    const std::vector<uint8_t> bytes = image.Build();
    CResKVT res;
    res.SetExpectedFileType("KVTA");
    GiveData(res, static_cast<uint32_t>(bytes.size()));
    res.m_nStatus = 0;
    std::memcpy(res.m_pData, bytes.data(), bytes.size());
    EXPECT_FALSE(res.OnResourceServiced());
    EXPECT_EQ(res.GetHeader(), nullptr);
    delete[] static_cast<uint8_t*>(res.m_pData);
    res.m_pData = nullptr;
}
