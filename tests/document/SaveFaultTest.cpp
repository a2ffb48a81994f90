// Saves that fail: for want of permission, part-way through the writing, at
// the final rename, through symbolic links and when the disk fills up. In
// every case the old file must stay exactly as it was, no temporary file may
// be left behind, and the save must report failure.
//
// Permission cases run in a child process that has switched to an
// unprivileged user, since permission bits do not bind root (CI runs as
// root). The full-disk case mounts a small memory file system in a private
// mount namespace of a child process; where the system allows no such
// namespace, that case is skipped, while the file-size limit case (the
// kernel refusing writes beyond a size, as a full disk does) runs anywhere.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "DocumentTestSupport.h"
#include "TempDir.h"
#include "filefaults.h"
#include "ororeportrecorder.h"

namespace {

using Root = std::unique_ptr<CKvtNodeTopLevelStruct>;

constexpr uid_t kNobody = 65534;
const char kSkipPrefix[] = "skip: ";

// A document of every kind of value, with a binary block of nBinaryBytes so
// that the file can be made larger than the C library's write buffer.
Root DocumentOfSize(uint32_t nBinaryBytes)
{
    Root pRoot(new CKvtNodeTopLevelStruct);
    pRoot->m_sFileType = "FALT";
    pRoot->m_sVersion = "V3.2";
    AddNode(pRoot.get(), ftSTRING, "name")->SetFromText("new content");
    AddNode(pRoot.get(), ftDOUBLE, "d")->SetFromText("2.5");
    auto* pBinary = static_cast<CKvtNodeBINARY*>(AddNode(pRoot.get(), ftBINARY, "blob"));
    pBinary->m_pData = new uint8_t[nBinaryBytes];
    for (uint32_t i = 0; i < nBinaryBytes; ++i)
        pBinary->m_pData[i] = static_cast<uint8_t>(i * 7);
    pBinary->m_nDataSize = nBinaryBytes;
    CKvtNodeStruct* pList = AddNode(pRoot.get(), ftLIST, "list")->GetStructNode();
    for (int32_t j = 0; j < 3; ++j)
        AddNode(AddNode(pList, ftSTRUCT, "", j)->GetStructNode(), ftINT, "n", j)->SetFromText("7");
    return pRoot;
}

std::vector<uint8_t> OldContent()
{
    const std::string sText = "the old file, which must survive every failed save";
    return std::vector<uint8_t>(sText.begin(), sText.end());
}

std::set<std::string> Entries(const std::string& sFolder)
{
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(sFolder, ec))
        names.insert(entry.path().filename().string());
    return names;
}

std::string Describe(const std::set<std::string>& names)
{
    std::string sOut;
    for (const std::string& sName : names)
        sOut += " '" + sName + "'";
    return sOut.empty() ? " (none)" : sOut;
}

// "" when the folder holds exactly the names expected, else what differs.
std::string CheckEntries(const std::string& sFolder, const std::set<std::string>& expected)
{
    const std::set<std::string> found = Entries(sFolder);
    if (found == expected)
        return "";
    return "folder " + sFolder + " holds" + Describe(found) + " instead of" + Describe(expected);
}

// The checks every failed save must pass.
std::string CheckFailedSave(bool bSaved, const std::string& sFile, const std::vector<uint8_t>& old,
                            const std::string& sFolder, const std::set<std::string>& entries)
{
    if (bSaved)
        return "the save reported success";
    if (ReadFileBytes(sFile) != old)
        return "the old file changed";
    return CheckEntries(sFolder, entries);
}

// Runs body in a child process and returns what it returned: "" for success,
// a failure description, or kSkipPrefix and a reason. The child ends with
// _exit, so nothing of the parent's shutdown runs twice.
std::string RunInChild(const std::function<std::string()>& body)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return "pipe failed";
    const pid_t pid = fork();
    if (pid < 0)
        return "fork failed";
    if (pid == 0) {
        close(pipeFds[0]);
        const std::string sResult = body();
        const ssize_t nWritten = write(pipeFds[1], sResult.data(), sResult.size());
        _exit(nWritten == static_cast<ssize_t>(sResult.size()) ? 0 : 1);
    }
    close(pipeFds[1]);
    std::string sResult;
    char buffer[512];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        sResult.append(buffer, static_cast<size_t>(n));
    close(pipeFds[0]);
    int nStatus = 0;
    if (waitpid(pid, &nStatus, 0) != pid || !WIFEXITED(nStatus) || WEXITSTATUS(nStatus) != 0)
        return "the child process ended abnormally (status " + std::to_string(nStatus) + "): " + sResult;
    return sResult;
}

// Reports the child's result as the test's outcome.
void ExpectChildSucceeded(const std::string& sResult)
{
    if (sResult.rfind(kSkipPrefix, 0) == 0)
        GTEST_SKIP() << sResult.substr(sizeof kSkipPrefix - 1);
    EXPECT_EQ(sResult, "");
}

// In a child: become the unprivileged user that owns the test's files (root
// is switched to nobody; anyone else already is unprivileged).
std::string BecomeUnprivileged()
{
    if (geteuid() != 0)
        return "";
    if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)
        return std::string(kSkipPrefix) + "cannot switch to an unprivileged user: " + std::strerror(errno);
    if (geteuid() == 0 || access("/", W_OK) == 0)
        return std::string(kSkipPrefix) + "the process keeps the right to write anywhere";
    return "";
}

// Gives the unprivileged user the test's files, as its own files would be.
void HandToUnprivilegedUser(const std::vector<std::string>& paths)
{
    if (geteuid() != 0)
        return;
    for (const std::string& sPath : paths)
        ASSERT_EQ(lchown(sPath.c_str(), kNobody, kNobody), 0) << sPath;
}

// The temporary folder is private to its owner; the unprivileged user must
// be able to reach the folders inside it.
void OpenForTraversal(const CTempDir& dir)
{
    ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
}

class SaveFault : public ::testing::Test {
protected:
    void SetUp() override
    {
        OpenForTraversal(m_Dir);
        m_sFolder = m_Dir.File("docs");
        ASSERT_TRUE(std::filesystem::create_directory(m_sFolder));
        m_sFile = m_sFolder + "/doc.kvt";
        ASSERT_TRUE(WriteFileBytes(m_sFile, OldContent()));
    }
    void TearDown() override
    {
        SetFileWriteFault(-1);
        SetFileRenameFault(false);
    }

    CTempDir m_Dir;
    std::string m_sFolder;
    std::string m_sFile;
};

} // namespace

TEST_F(SaveFault, AFolderWithoutWritePermissionRefusesTheSaveEvenForItsOwner)
{
    Root pRoot = DocumentOfSize(100);
    const std::string sNew = m_sFolder + "/new.kvt";
    HandToUnprivilegedUser({m_sFolder, m_sFile});
    ASSERT_EQ(chmod(m_sFolder.c_str(), 0555), 0);
    const std::set<std::string> entries = Entries(m_sFolder);
    ExpectChildSucceeded(RunInChild([&]() -> std::string {
        if (std::string sDrop = BecomeUnprivileged(); !sDrop.empty())
            return sDrop;
        // Replacing the existing file and creating a new one both fail.
        std::string sProblem = CheckFailedSave(pRoot->SaveDocument(m_sFile.c_str()), m_sFile, OldContent(),
                                               m_sFolder, entries);
        if (sProblem.empty() && pRoot->SaveDocument(sNew.c_str()))
            sProblem = "a new file was saved into the folder";
        return sProblem.empty() ? CheckEntries(m_sFolder, entries) : sProblem;
    }));
}

TEST_F(SaveFault, AReadOnlyFileIsNotReplacedEvenThoughItsFolderIsWritable)
{
    Root pRoot = DocumentOfSize(100);
    HandToUnprivilegedUser({m_sFolder, m_sFile});
    ASSERT_EQ(chmod(m_sFile.c_str(), 0444), 0);
    const std::set<std::string> entries = Entries(m_sFolder);
    ExpectChildSucceeded(RunInChild([&]() -> std::string {
        if (std::string sDrop = BecomeUnprivileged(); !sDrop.empty())
            return sDrop;
        // The folder would allow a rename over the file; the save must still
        // refuse, as writing the file in place would.
        return CheckFailedSave(pRoot->SaveDocument(m_sFile.c_str()), m_sFile, OldContent(), m_sFolder, entries);
    }));
    struct stat info {};
    ASSERT_EQ(stat(m_sFile.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);
}

TEST_F(SaveFault, ALinkToAReadOnlyFileOrIntoALockedFolderLeavesBothAlone)
{
    Root pRoot = DocumentOfSize(100);
    const std::string sLinks = m_Dir.File("links");
    ASSERT_TRUE(std::filesystem::create_directory(sLinks));
    const std::string sLinkToFile = sLinks + "/to-file.kvt";
    const std::string sLinkIntoFolder = sLinks + "/into-folder.kvt";
    ASSERT_EQ(symlink(m_sFile.c_str(), sLinkToFile.c_str()), 0);
    ASSERT_EQ(symlink((m_sFolder + "/other.kvt").c_str(), sLinkIntoFolder.c_str()), 0);
    HandToUnprivilegedUser({m_sFolder, m_sFile, sLinks, sLinkToFile, sLinkIntoFolder});
    ASSERT_EQ(chmod(m_sFile.c_str(), 0444), 0);
    const std::set<std::string> linkEntries = Entries(sLinks);
    const std::set<std::string> entries = Entries(m_sFolder);
    ExpectChildSucceeded(RunInChild([&]() -> std::string {
        if (std::string sDrop = BecomeUnprivileged(); !sDrop.empty())
            return sDrop;
        std::string sProblem =
            CheckFailedSave(pRoot->SaveDocument(sLinkToFile.c_str()), m_sFile, OldContent(), m_sFolder, entries);
        if (!sProblem.empty())
            return "through a link to a read-only file: " + sProblem;
        // The link's target lies in a folder the user may not write.
        if (chmod(m_sFolder.c_str(), 0555) != 0)
            return "chmod failed";
        if (pRoot->SaveDocument(sLinkIntoFolder.c_str()))
            return "a save through a link into a locked folder succeeded";
        if (!std::filesystem::is_symlink(sLinkToFile) || !std::filesystem::is_symlink(sLinkIntoFolder))
            return "a link was replaced";
        sProblem = CheckEntries(m_sFolder, entries);
        return sProblem.empty() ? CheckEntries(sLinks, linkEntries) : sProblem;
    }));
}

TEST_F(SaveFault, AWriteFailingAtAnyByteLeavesTheOldFileAndNoTemporary)
{
    COroReportRecorder recorder;
    Root pRoot = DocumentOfSize(300);
    const std::vector<uint8_t> expected = SaveToBytes(pRoot.get());
    ASSERT_GT(expected.size(), 400u);
    const std::string sNew = m_sFolder + "/new.kvt";
    const std::set<std::string> entries = Entries(m_sFolder);
    // Every place the writing could stop: in the header, inside each section
    // and at each boundary between sections.
    for (int64_t nBudget = 0; nBudget < static_cast<int64_t>(expected.size()); ++nBudget) {
        SetFileWriteFault(nBudget);
        const bool bSaved = pRoot->SaveDocument(m_sFile.c_str());
        SetFileWriteFault(nBudget);
        const bool bCreated = pRoot->SaveDocument(sNew.c_str());
        SetFileWriteFault(-1);
        ASSERT_EQ(CheckFailedSave(bSaved, m_sFile, OldContent(), m_sFolder, entries), "") << "after " << nBudget;
        ASSERT_FALSE(bCreated) << "after " << nBudget;
        ASSERT_EQ(CheckEntries(m_sFolder, entries), "") << "after " << nBudget;
    }
    // With just enough room the save goes through.
    SetFileWriteFault(static_cast<int64_t>(expected.size()));
    EXPECT_TRUE(pRoot->SaveDocument(m_sFile.c_str()));
    SetFileWriteFault(-1);
    EXPECT_EQ(ReadFileBytes(m_sFile), expected);
    EXPECT_EQ(recorder.Count(), 0u);  // a failed write is the caller's to report
}

TEST_F(SaveFault, AFailedRenameKeepsTheOldFileAndCreatesNothing)
{
    Root pRoot = DocumentOfSize(50);
    const std::set<std::string> entries = Entries(m_sFolder);
    SetFileRenameFault(true);
    EXPECT_EQ(CheckFailedSave(pRoot->SaveDocument(m_sFile.c_str()), m_sFile, OldContent(), m_sFolder, entries), "");
    EXPECT_FALSE(pRoot->SaveDocument((m_sFolder + "/new.kvt").c_str()));
    SetFileRenameFault(false);
    EXPECT_EQ(CheckEntries(m_sFolder, entries), "");
}

TEST_F(SaveFault, FaultsThroughALinkLeaveTheLinkItsTargetAndBothFoldersAlone)
{
    Root pRoot = DocumentOfSize(50);
    const std::string sLinks = m_Dir.File("links");
    ASSERT_TRUE(std::filesystem::create_directory(sLinks));
    const std::string sLink = sLinks + "/doc.kvt";
    ASSERT_EQ(symlink("../docs/doc.kvt", sLink.c_str()), 0);
    const std::set<std::string> linkEntries = Entries(sLinks);
    const std::set<std::string> entries = Entries(m_sFolder);
    for (int nFault = 0; nFault < 3; ++nFault) {
        SetFileWriteFault(nFault == 0 ? 0 : (nFault == 1 ? 60 : -1));
        SetFileRenameFault(nFault == 2);
        EXPECT_EQ(CheckFailedSave(pRoot->SaveDocument(sLink.c_str()), m_sFile, OldContent(), m_sFolder, entries), "")
            << "fault " << nFault;
        SetFileWriteFault(-1);
        SetFileRenameFault(false);
        EXPECT_TRUE(std::filesystem::is_symlink(sLink)) << "fault " << nFault;
        EXPECT_EQ(CheckEntries(sLinks, linkEntries), "") << "fault " << nFault;
    }
    // Without a fault the save goes through the link to its target.
    EXPECT_TRUE(pRoot->SaveDocument(sLink.c_str()));
    EXPECT_TRUE(std::filesystem::is_symlink(sLink));
    EXPECT_EQ(ReadFileBytes(m_sFile), SaveToBytes(pRoot.get()));
}

TEST_F(SaveFault, ALinkThatLeadsInACircleIsNotReplaced)
{
    Root pRoot = DocumentOfSize(10);
    const std::string sFirst = m_sFolder + "/first.kvt";
    const std::string sSecond = m_sFolder + "/second.kvt";
    ASSERT_EQ(symlink("second.kvt", sFirst.c_str()), 0);
    ASSERT_EQ(symlink("first.kvt", sSecond.c_str()), 0);
    const std::set<std::string> entries = Entries(m_sFolder);
    // Opening such a path for writing fails; the save must not turn the link
    // into a file instead.
    EXPECT_FALSE(pRoot->SaveDocument(sFirst.c_str()));
    EXPECT_TRUE(std::filesystem::is_symlink(sFirst));
    EXPECT_TRUE(std::filesystem::is_symlink(sSecond));
    EXPECT_EQ(CheckEntries(m_sFolder, entries), "");
}

TEST_F(SaveFault, AFileSizeLimitStopsTheWriteAnywhereWithoutHarm)
{
    // A document larger than the C library's write buffer, so the limit is
    // met both by a write call and by the flush when the file is closed.
    Root pRoot = DocumentOfSize(10000);
    const std::vector<uint8_t> expected = SaveToBytes(pRoot.get());
    ASSERT_GT(expected.size(), 10000u);
    const std::set<std::string> entries = Entries(m_sFolder);
    for (rlim_t nLimit : {rlim_t(0), rlim_t(1), rlim_t(55), rlim_t(56), rlim_t(57), rlim_t(1000), rlim_t(4095),
                          rlim_t(4096), rlim_t(4097), rlim_t(8192), rlim_t(expected.size() - 1)}) {
        ExpectChildSucceeded(RunInChild([&]() -> std::string {
            // The kernel refuses writes beyond the limit (EFBIG) as a full
            // disk does (ENOSPC); its signal would end the process instead.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{nLimit, nLimit};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
                return "setrlimit failed";
            const std::string sProblem =
                CheckFailedSave(pRoot->SaveDocument(m_sFile.c_str()), m_sFile, OldContent(), m_sFolder, entries);
            return sProblem.empty() ? "" : "limit " + std::to_string(nLimit) + ": " + sProblem;
        }));
    }
    ExpectChildSucceeded(RunInChild([&]() -> std::string {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{expected.size(), expected.size()};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return "setrlimit failed";
        if (!pRoot->SaveDocument(m_sFile.c_str()))
            return "a save within the limit failed";
        return ReadFileBytes(m_sFile) == expected ? "" : "the saved file differs";
    }));
}

namespace {

bool WriteProcFile(const char* pPath, const std::string& sText)
{
    const int fd = open(pPath, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool bOk = write(fd, sText.data(), sText.size()) == static_cast<ssize_t>(sText.size());
    close(fd);
    return bOk;
}

// In a child: a private mount namespace (inside a user namespace, so no
// privilege is needed) with a small memory file system at sMountPoint.
std::string MountSmallFileSystem(const std::string& sMountPoint, const char* pSize)
{
    const uid_t nUid = geteuid();
    const gid_t nGid = getegid();
    if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
        return std::string(kSkipPrefix) + "no private mount namespace here: " + std::strerror(errno);
    if (!WriteProcFile("/proc/self/setgroups", "deny") ||
        !WriteProcFile("/proc/self/uid_map", "0 " + std::to_string(nUid) + " 1") ||
        !WriteProcFile("/proc/self/gid_map", "0 " + std::to_string(nGid) + " 1"))
        return std::string(kSkipPrefix) + "cannot map the user into the namespace";
    // Nothing mounted here may reach the rest of the system.
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string(kSkipPrefix) + "cannot make the mounts private: " + std::strerror(errno);
    if (mount("tmpfs", sMountPoint.c_str(), "tmpfs", 0, (std::string("size=") + pSize).c_str()) != 0)
        return std::string(kSkipPrefix) + "cannot mount a memory file system: " + std::strerror(errno);
    return "";
}

// Fills the file system at sFolder until fewer than nFree bytes are left.
std::string FillUpTo(const std::string& sFolder, uint64_t nFree)
{
    const std::vector<char> block(1024, 'x');
    const int fd = open((sFolder + "/filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return "cannot create the filler file";
    std::string sProblem;
    for (;;) {
        const std::filesystem::space_info space = std::filesystem::space(sFolder);
        if (space.available < nFree)
            break;
        if (write(fd, block.data(), block.size()) != static_cast<ssize_t>(block.size())) {
            sProblem = "the file system filled up before the filler was done";
            break;
        }
    }
    close(fd);
    return sProblem;
}

} // namespace

TEST_F(SaveFault, ANearlyFullDiskFailsTheSaveAndKeepsTheOldFile)
{
    Root pRoot = DocumentOfSize(20000);
    const std::vector<uint8_t> expected = SaveToBytes(pRoot.get());
    const std::string sDisk = m_Dir.File("disk");
    ASSERT_TRUE(std::filesystem::create_directory(sDisk));
    ExpectChildSucceeded(RunInChild([&]() -> std::string {
        if (std::string sMount = MountSmallFileSystem(sDisk, "256k"); !sMount.empty())
            return sMount;
        const std::string sFile = sDisk + "/doc.kvt";
        if (!WriteFileBytes(sFile, OldContent()))
            return "cannot write the old file";
        // Room for a few pages, not for the whole new file.
        if (std::string sFill = FillUpTo(sDisk, 12 * 1024); !sFill.empty())
            return sFill;
        const std::set<std::string> entries = Entries(sDisk);
        std::string sProblem =
            CheckFailedSave(pRoot->SaveDocument(sFile.c_str()), sFile, OldContent(), sDisk, entries);
        if (!sProblem.empty())
            return sProblem;
        // Once there is room again, the same save goes through.
        std::remove((sDisk + "/filler").c_str());
        if (!pRoot->SaveDocument(sFile.c_str()))
            return "the save failed with room on the disk";
        return ReadFileBytes(sFile) == expected ? "" : "the saved file differs";
    }));
}
