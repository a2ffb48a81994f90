#include "ResmanFixture.h"

#include "ororesman.h"

namespace {

// The program creates the manager before any resource object and destroys it
// at the end; the tests do the same so that CRes destruction behaves as there.
class CResManEnvironment : public ::testing::Environment {
public:
    void SetUp() override { g_pOroResMan = new COroResMan; }
    void TearDown() override
    {
        delete g_pOroResMan;
        g_pOroResMan = nullptr;
    }
};

const ::testing::Environment* const s_pEnvironment = ::testing::AddGlobalTestEnvironment(new CResManEnvironment);

} // namespace

std::unique_ptr<CResKVT> ResmanTest::LoadBytes(const std::vector<uint8_t>& bytes)
{
    auto pRes = std::make_unique<CResKVT>();
    if (!pRes->LoadFromMemory(bytes.data(), bytes.size(), "image.kvt"))
        return nullptr;
    return pRes;
}

std::vector<uint8_t> ResmanTest::SaveBytes(CResKVT& res, const std::string& sName)
{
    const std::string sPath = m_dir.File(sName);
    EXPECT_TRUE(res.SaveToFile(sPath.c_str()));
    return ReadFileBytes(sPath);
}

std::unique_ptr<CResKVT> ResmanTest::SaveAndReload(CResKVT& res)
{
    const std::string sPath = m_dir.File("reload.kvt");
    if (!res.SaveToFile(sPath.c_str()))
        return nullptr;
    auto pRes = std::make_unique<CResKVT>();
    if (!pRes->GetFileData(sPath.c_str()))
        return nullptr;
    return pRes;
}

std::string DescribeReports(const COroReportRecorder& recorder)
{
    std::string sText;
    for (const OroRecordedReport_st& report : recorder.Reports())
        sText += report.module + ":" + std::to_string(report.line) + " " + report.message + "\n";
    return sText;
}
