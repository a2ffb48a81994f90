#include "WindowTestSupport.h"

#include <QApplication>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "bcglobal.h"
#include "processenv.h"

CWindowHarness::CWindowHarness()
{
    // The window finds its settings beside the program and its version
    // block in the program file: a link to the test program in the
    // temporary folder gives it both.
    const std::string sProgram = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string sLink = m_Dir.File("kvteditor");
    std::filesystem::create_symlink(sProgram, sLink);
    SetOwnExecutablePathOverride(sLink.c_str());
    setenv("KVTEDITOR_REGISTRY", RegistryFile().c_str(), 1);
}

CWindowHarness::~CWindowHarness()
{
    Stop();
    SetOwnExecutablePathOverride(nullptr);
    unsetenv("KVTEDITOR_REGISTRY");
}

TfrmMain& CWindowHarness::Start()
{
    m_pWindow = std::make_unique<TfrmMain>(m_Dialogs);
    m_pWindow->show();
    return *m_pWindow;
}

void CWindowHarness::Stop()
{
    m_pWindow.reset();
}

QAction* CWindowHarness::Action(const char* pName) const
{
    return m_pWindow->findChild<QAction*>(QString::fromLatin1(pName));
}

QString CWindowHarness::Title(const char* pSuffix)
{
    return QString::fromLocal8Bit(g_sTitle.CStr()) + QString::fromLocal8Bit(pSuffix);
}

CKvtNodeBase* AddNode(CKvtNodeStruct* pParent, TKvtFieldType nType, const char* pLabel, const char* pValue)
{
    CKvtNodeBase* pNode = CreateKvtNode(nType);
    pNode->m_sLabel = pLabel;
    pParent->AssignNextIndex(pNode);
    if (pValue)
        pNode->SetFromText(pValue);
    pParent->AddChild(pNode);
    return pNode;
}

bool WriteDocument(const std::string& sPath, const std::function<void(CKvtNodeTopLevelStruct&)>& fill,
                   const char* pFileType)
{
    CKvtNodeTopLevelStruct root;
    root.m_sFileType = pFileType;
    root.m_sVersion = "V3.2";
    fill(root);
    return root.SaveDocument(sPath.c_str());
}

bool WriteSmallDocument(const std::string& sPath)
{
    return WriteDocument(sPath, [](CKvtNodeTopLevelStruct& root) { AddNode(&root, ftBYTE, "Flag", "1"); });
}

bool WriteExportExample(const std::string& sPath)
{
    return WriteDocument(
        sPath,
        [](CKvtNodeTopLevelStruct& root) {
            AddNode(&root, ftBYTE, "Flag", "1");
            CKvtNodeStruct* pItems = AddNode(&root, ftLIST, "Items")->GetStructNode();
            CKvtNodeBase* pElement = CreateKvtNode(ftSTRUCT);
            pElement->m_nIndex = 0;
            pItems->AddChild(pElement);
            AddNode(pElement->GetStructNode(), ftSTRING, "Name", "Sword of the North");
        },
        "ABCD");
}

QStringList ChildCaptions(CKvtTreeModel& model, const QModelIndex& parent)
{
    QStringList captions;
    const int nCount = model.ChildItemCount(parent);
    for (int i = 0; i < nCount; ++i)
        captions << model.data(model.index(i, 0, parent)).toString();
    return captions;
}

QModelIndex ChildStartingWith(CKvtTreeModel& model, const QModelIndex& parent, const QString& sStart)
{
    const int nCount = model.ChildItemCount(parent);
    for (int i = 0; i < nCount; ++i) {
        const QModelIndex child = model.index(i, 0, parent);
        if (model.data(child).toString().startsWith(sStart))
            return child;
    }
    return QModelIndex();
}

namespace {

bool GetCapabilities(__user_cap_header_struct& header, __user_cap_data_struct* pData)
{
    header.version = _LINUX_CAPABILITY_VERSION_3;
    header.pid = 0;
    return syscall(SYS_capget, &header, pData) == 0;
}

} // namespace

CScopedNoWriteOverride::CScopedNoWriteOverride() : m_bDropped(false), m_nSavedEffective(0)
{
    __user_cap_header_struct header{};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (!GetCapabilities(header, data))
        return;
    m_nSavedEffective = data[0].effective;
    const unsigned nOverride = 1u << CAP_DAC_OVERRIDE;
    if ((data[0].effective & nOverride) == 0)
        return;
    data[0].effective &= ~nOverride;
    m_bDropped = syscall(SYS_capset, &header, data) == 0;
}

CScopedNoWriteOverride::~CScopedNoWriteOverride()
{
    if (!m_bDropped)
        return;
    __user_cap_header_struct header{};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (!GetCapabilities(header, data))
        return;
    data[0].effective = m_nSavedEffective;
    syscall(SYS_capset, &header, data);
}

bool IsUnwritable(const std::string& sPath)
{
    std::FILE* pFile = std::fopen(sPath.c_str(), "r+b");
    if (!pFile)
        return true;
    std::fclose(pFile);
    return false;
}

int64_t CountNodes(CKvtNodeBase* pNode)
{
    int64_t nCount = 0;
    std::vector<CKvtNodeBase*> pending{pNode};
    while (!pending.empty()) {
        CKvtNodeBase* pCurrent = pending.back();
        pending.pop_back();
        ++nCount;
        if (CKvtNodeStruct* pStruct = pCurrent->GetStructNode()) {
            for (int32_t i = 0; i < pStruct->GetChildCount(); ++i)
                pending.push_back(pStruct->GetChild(i));
        }
    }
    return nCount;
}
