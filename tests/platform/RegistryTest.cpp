// Registry values read from the registry file.

#include <gtest/gtest.h>

#include <string>

#include "ScopedEnv.h"
#include "TempDir.h"
#include "registry.h"

namespace {

TEST(Registry, FileIsNamedByTheEnvironmentOrTheSystemDefault)
{
    {
        CScopedEnv env("KVTEDITOR_REGISTRY", nullptr);
        EXPECT_EQ(RegistryFileName(), "/etc/kvteditor/registry.ini");
    }
    {
        CScopedEnv env("KVTEDITOR_REGISTRY", "");
        EXPECT_EQ(RegistryFileName(), "/etc/kvteditor/registry.ini");
    }
    CScopedEnv env("KVTEDITOR_REGISTRY", "/tmp/elsewhere.ini");
    EXPECT_EQ(RegistryFileName(), "/tmp/elsewhere.ini");
}

TEST(Registry, KeyPathsAreSectionsWrittenAsTheProgramNamesThem)
{
    CTempDir dir;
    const std::string sFile = dir.File("registry.ini");
    ASSERT_TRUE(WriteFileText(sFile, "[\\SOFTWARE\\Other]\nPath=/wrong\n"
                                     "[\\SOFTWARE\\Vendor\\Tool 3.0]\nPath = \"/opt/tool/bin/tool\"\nEmpty=\n"));
    CScopedEnv env("KVTEDITOR_REGISTRY", sFile.c_str());

    std::string sValue = "unchanged";
    ASSERT_TRUE(RegistryReadString("\\SOFTWARE\\Vendor\\Tool 3.0", "Path", sValue));
    EXPECT_EQ(sValue, "/opt/tool/bin/tool");
    ASSERT_TRUE(RegistryReadString("\\software\\vendor\\tool 3.0", "PATH", sValue));
    EXPECT_EQ(sValue, "/opt/tool/bin/tool");
    ASSERT_TRUE(RegistryReadString("\\SOFTWARE\\Vendor\\Tool 3.0", "Empty", sValue));
    EXPECT_EQ(sValue, "");

    sValue = "unchanged";
    EXPECT_FALSE(RegistryReadString("\\SOFTWARE\\Vendor\\Tool 3.0", "Version", sValue));
    EXPECT_FALSE(RegistryReadString("\\SOFTWARE\\Vendor", "Path", sValue));
    EXPECT_FALSE(RegistryReadString("SOFTWARE\\Vendor\\Tool 3.0", "Path", sValue));
    EXPECT_EQ(sValue, "unchanged");

    CScopedEnv missing("KVTEDITOR_REGISTRY", dir.File("absent.ini").c_str());
    EXPECT_FALSE(RegistryReadString("\\SOFTWARE\\Vendor\\Tool 3.0", "Path", sValue));
    EXPECT_EQ(sValue, "unchanged");
}

} // namespace
