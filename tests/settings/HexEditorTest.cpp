// The external hex editor: its registry lookup and starting it on a file.

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

#include "HexEditorLauncher.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "ororeportrecorder.h"

namespace {

class HexEditorTest : public ::testing::Test {
protected:
    void UseRegistry(const std::string& sText)
    {
        ASSERT_TRUE(WriteFileText(m_sRegistry, sText));
    }
    // A stand-in hex editor: pauses, then records its arguments, so a caller
    // that did not wait would find no record yet.
    std::string WriteFakeEditor()
    {
        const std::string sScript = m_dir.File("hexedit.sh");
        EXPECT_TRUE(WriteFileText(sScript, "#!/bin/sh\nsleep 0.3\nprintf '%s|' \"$#\" \"$0\" \"$1\" > '" +
                                               m_sRecord + "'\n"));
        EXPECT_EQ(chmod(sScript.c_str(), 0755), 0);
        return sScript;
    }

    CTempDir m_dir;
    std::string m_sRegistry = m_dir.File("registry.ini");
    std::string m_sRecord = m_dir.File("args.txt");
    CScopedEnv m_env{"KVTEDITOR_REGISTRY", m_sRegistry.c_str()};
    COroReportRecorder m_recorder;
};

TEST_F(HexEditorTest, PathIsEmptyWithoutRegistryFileKeyOrValue)
{
    EXPECT_STREQ(GetHexEditorPath().CStr(), "");
    UseRegistry("[\\SOFTWARE\\Breakpoint]\nPath=/usr/bin/wrong\n");
    EXPECT_STREQ(GetHexEditorPath().CStr(), "");
    UseRegistry("[\\SOFTWARE\\Breakpoint\\Hex Workshop 3.0]\nVersion=3.0\n");
    EXPECT_STREQ(GetHexEditorPath().CStr(), "");
    EXPECT_FALSE(HexEditFile("/data/a.kvt"));
    EXPECT_EQ(m_recorder.Count(), 0u);
}

TEST_F(HexEditorTest, PathIsTheRegisteredValue)
{
    UseRegistry("[\\SOFTWARE\\Other]\nPath=/usr/bin/other\n"
                "[\\SOFTWARE\\Breakpoint\\Hex Workshop 3.0]\nVersion=3.0\nPath=/opt/hex workshop/hexedit\n");
    EXPECT_STREQ(GetHexEditorPath().CStr(), "/opt/hex workshop/hexedit");
}

TEST_F(HexEditorTest, RegisteredEditorIsStartedOnTheFileAndWaitedFor)
{
    const std::string sEditor = WriteFakeEditor();
    UseRegistry("[\\SOFTWARE\\Breakpoint\\Hex Workshop 3.0]\nPath=" + sEditor + "\n");
    ASSERT_TRUE(HexEditFile("/data/my file.kvt"));
    EXPECT_EQ(ReadFileText(m_sRecord), "1|" + sEditor + "|/data/my file.kvt|");

    // A new document has no name yet; the editor still gets its one argument.
    ASSERT_TRUE(RunHexEditor(sEditor.c_str(), ""));
    EXPECT_EQ(ReadFileText(m_sRecord), "1|" + sEditor + "||");
}

TEST_F(HexEditorTest, EditorThatCannotBeStartedFailsSilently)
{
    const std::string sNotExecutable = m_dir.File("hexedit.txt");
    ASSERT_TRUE(WriteFileText(sNotExecutable, "#!/bin/sh\ntouch '" + m_sRecord + "'\n"));
    UseRegistry("[\\SOFTWARE\\Breakpoint\\Hex Workshop 3.0]\nPath=" + sNotExecutable + "\n");
    EXPECT_FALSE(HexEditFile("/data/a.kvt"));
    EXPECT_FALSE(RunHexEditor(m_dir.File("absent").c_str(), "/data/a.kvt"));
    EXPECT_FALSE(RunHexEditor("", "/data/a.kvt"));
    EXPECT_FALSE(FileExists(m_sRecord));
    EXPECT_EQ(m_recorder.Count(), 0u);
}

} // namespace
