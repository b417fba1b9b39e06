// What the built Pellwick.exe tells Windows before it runs: the manifest
// the loader reads (execution level, supported systems, common controls,
// DPI) and nothing in it that changes from build to build or names the
// machine it was built on.
//
// PELLWICK_EXE is the exe, PELLWICK_SOURCE_DIR and PELLWICK_EXE_BUILD_DIR
// the folders it was built from and in: the build's, unless the environment
// names others.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "PeImage.h"

namespace {

std::string Setting(const char* name, const char* built)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : built;
}

std::string ExePath() { return Setting("PELLWICK_EXE", PELLWICK_EXE); }
std::string SourceDir() { return Setting("PELLWICK_SOURCE_DIR", PELLWICK_SOURCE_DIR); }
std::string BuildDir() { return Setting("PELLWICK_EXE_BUILD_DIR", PELLWICK_EXE_BUILD_DIR); }

class BuiltExe : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        image = new TPeImage(ExePath());
        manifest.clear();
        if (image->Error().empty()) image->Resource(ResourceManifest, ProcessManifestId, manifest);
    }
    static void TearDownTestSuite()
    {
        delete image;
        image = nullptr;
    }
    void SetUp() override { ASSERT_EQ(image->Error(), ""); }

    static std::size_t Count(const std::string& text, const std::string& what)
    {
        std::size_t n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
    }

    static TPeImage* image;
    static std::string manifest;
};

TPeImage* BuiltExe::image = nullptr;
std::string BuiltExe::manifest;

TEST_F(BuiltExe, HoldsTheManifestTheLoaderReadsAtProcessCreation)
{
    EXPECT_NE(manifest.find("<assembly"), std::string::npos)
        << "no RT_MANIFEST resource with id 1 (CREATEPROCESS_MANIFEST_RESOURCE_ID)";
}

TEST_F(BuiltExe, ManifestAsksForTheHighestAvailableLevelOnce)
{
    EXPECT_EQ(Count(manifest, "<requestedExecutionLevel "), 1u);
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"highestAvailable\" uiAccess=\"false\"/>"),
              std::string::npos);
    EXPECT_EQ(manifest.find("asInvoker\""), std::string::npos);
    EXPECT_EQ(manifest.find("requireAdministrator\""), std::string::npos);
}

TEST_F(BuiltExe, ManifestKeepsTheSupportedSystemsAndTheCommonControls)
{
    for (const char* id : {"{e2011457-1546-43c5-a5fe-008deee3d3f0}",   // Vista
                           "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",   // 7
                           "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",   // 8
                           "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",   // 8.1
                           "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})  // 10 and 11
        EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"") + id + "\"/>"), std::string::npos) << id;
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\""), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
}

// docs/windows.md says what a user sees at 150 % from this.
TEST_F(BuiltExe, ManifestDeclaresTheExeNotDpiAware)
{
    EXPECT_NE(manifest.find(">false</dpiAware>"), std::string::npos);
    EXPECT_EQ(manifest.find("dpiAwareness"), std::string::npos);
    EXPECT_EQ(manifest.find("longPathAware"), std::string::npos);
}

TEST_F(BuiltExe, CarriesNoLinkTime)
{
    EXPECT_EQ(image->LinkTime(), 0u);
    EXPECT_EQ(image->ResourceTime(), 0u);
    EXPECT_EQ(image->DebugDirectorySize(), 0u);
}

TEST_F(BuiltExe, NamesNeitherTheSourceNorTheBuildFolder)
{
    std::string bytes(image->Bytes().begin(), image->Bytes().end());
    for (const std::string& folder : {SourceDir(), BuildDir()}) {
        ASSERT_FALSE(folder.empty());
        EXPECT_EQ(bytes.find(folder), std::string::npos) << folder;
    }
    EXPECT_EQ(bytes.find("/home/"), std::string::npos);
    EXPECT_EQ(bytes.find("/tmp/"), std::string::npos);
}

}  // namespace
