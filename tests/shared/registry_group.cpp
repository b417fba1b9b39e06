// The registry accessor: its path rule, root switch, integer reading and
// error texts, checked on the double and on the real registry alike.
#include <gtest/gtest.h>

#include <functional>

#include "TestEnv.h"
#include "core/Error.h"

namespace {

// Every case works below this key of both roots and removes it afterwards.
const std::string Scratch = "Software\\PellwickTests";

class RegistryGroup : public ::testing::Test {
protected:
    void TearDown() override
    {
        TestEnv().DeleteTree(RegRoot::CurrentUser, Scratch);
        TestEnv().DeleteTree(RegRoot::LocalMachine, Scratch);
    }
    IRegistryApi& Api() { return TestEnv().Registry(); }
    std::string Get(RegRoot root, const std::string& path, const std::string& name)
    {
        std::string text;
        return TestEnv().GetString(root, path, name, text) ? text : "<missing>";
    }
    static std::string Raised(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const EError& e) {
            return e.Message();
        }
        return "<nothing raised>";
    }
};

TEST_F(RegistryGroup, AccessorOnAPathCreatesTheKeyBelowCurrentUser)
{
    TRegistry reg(Api(), "\\" + Scratch + "\\Maker\\Product");
    EXPECT_TRUE(reg.HasOpenKey());
    EXPECT_TRUE(TestEnv().KeyExists(RegRoot::CurrentUser, Scratch + "\\Maker\\Product"));
}

TEST_F(RegistryGroup, LeadingBackslashPathsStartAtTheRootOthersBelowTheOpenKey)
{
    const std::string base = Scratch + "\\Maker\\Product";
    {
        TRegistry reg(Api(), "\\" + base);
        reg.WriteString("\\" + base + "\\Main", "Name", "Ann");
        reg.WriteString("Relative", "Edition", "Pro");
        EXPECT_EQ(base, reg.CurrentPath());  // writes leave the open key alone
    }
    EXPECT_EQ("Ann", Get(RegRoot::CurrentUser, base + "\\Main", "Name"));
    EXPECT_EQ("Pro", Get(RegRoot::CurrentUser, base + "\\Relative", "Edition"));

    // A base without its backslash opens the same key, but the paths built
    // from it nest below a repeat of it.
    {
        TRegistry reg(Api(), base);
        reg.WriteString(base + "\\Install", "Path", "C:\\Tool");
    }
    EXPECT_EQ("C:\\Tool", Get(RegRoot::CurrentUser, base + "\\" + base + "\\Install", "Path"));
    EXPECT_EQ("<missing>", Get(RegRoot::CurrentUser, base + "\\Install", "Path"));
}

TEST_F(RegistryGroup, EmptyPathOpensTheRootItself)
{
    TRegistry reg(Api(), "");
    EXPECT_TRUE(reg.HasOpenKey());
    reg.WriteString(Scratch + "\\FromRoot", "Path", "x");
    EXPECT_EQ("x", Get(RegRoot::CurrentUser, Scratch + "\\FromRoot", "Path"));
}

TEST_F(RegistryGroup, SwitchingRootClosesTheOpenKey)
{
    TRegistry reg(Api(), "\\" + Scratch + "\\Product");
    reg.SetRoot(RegRoot::CurrentUser);
    EXPECT_TRUE(reg.HasOpenKey());  // the same root: nothing happens
    reg.SetRoot(RegRoot::LocalMachine);
    EXPECT_FALSE(reg.HasOpenKey());
    reg.WriteString(Scratch + "\\Uninstall\\Tool", "DisplayName", "Tool 1.0");
    EXPECT_EQ("Tool 1.0", Get(RegRoot::LocalMachine, Scratch + "\\Uninstall\\Tool", "DisplayName"));
    EXPECT_FALSE(TestEnv().KeyExists(RegRoot::CurrentUser, Scratch + "\\Product\\" + Scratch));
}

TEST_F(RegistryGroup, ReadIntegerRules)
{
    const std::string key = Scratch + "\\Counters";
    TestEnv().SetString(RegRoot::CurrentUser, key, "seven", "7");
    TestEnv().SetString(RegRoot::CurrentUser, key, "hex", "0x1F");
    TestEnv().SetString(RegRoot::CurrentUser, key, "dollar", "$10");
    TestEnv().SetString(RegRoot::CurrentUser, key, "word", "abc");
    TestEnv().SetString(RegRoot::CurrentUser, key, "empty", "");
    TestEnv().SetExpandString(RegRoot::CurrentUser, key, "expand", "12");
    TRegistry reg(Api(), "\\" + Scratch);
    struct Case {
        const char* name;
        std::int32_t expected;
    } cases[] = {{"seven", 7}, {"hex", 31},   {"dollar", 16}, {"word", 0},
                 {"empty", 0}, {"expand", 12}, {"absent", 0}};
    for (const Case& c : cases) EXPECT_EQ(c.expected, reg.ReadInteger("Counters", c.name, 0)) << c.name;
    EXPECT_EQ(5, reg.ReadInteger("NoSuchKey", "seven", 5));
}

TEST_F(RegistryGroup, NonStringValuesRaiseInvalidDataType)
{
    const std::string key = Scratch + "\\Counters";
    TestEnv().SetDWord(RegRoot::CurrentUser, key, "SHARED.DLL", 3);
    TRegistry reg(Api(), "\\" + Scratch);
    EXPECT_EQ("Invalid data type for 'SHARED.DLL'",
              Raised([&] { reg.ReadInteger("Counters", "SHARED.DLL", 0); }));
    EXPECT_EQ(Scratch, reg.CurrentPath());  // the open key is put back
    ASSERT_TRUE(reg.OpenKey("Counters", false));
    EXPECT_EQ("Invalid data type for 'SHARED.DLL'", Raised([&] { reg.ReadString("SHARED.DLL"); }));
}

TEST_F(RegistryGroup, WriteIntegerStoresDecimalText)
{
    {
        TRegistry reg(Api(), "\\" + Scratch);
        reg.WriteInteger("Counters", "A.DLL", 32);
        reg.WriteInteger("Counters", "B.DLL", -4);
    }
    EXPECT_EQ("32", Get(RegRoot::CurrentUser, Scratch + "\\Counters", "A.DLL"));
    EXPECT_EQ("-4", Get(RegRoot::CurrentUser, Scratch + "\\Counters", "B.DLL"));
}

TEST_F(RegistryGroup, ReadStringOfTheOpenKey)
{
    const std::string key = Scratch + "\\CurrentVersion";
    TestEnv().SetString(RegRoot::LocalMachine, key, "RegisteredOwner", "Ann Example");
    TestEnv().SetExpandString(RegRoot::LocalMachine, key, "Expanded", "%WINDIR%\\x");
    TestEnv().SetString(RegRoot::LocalMachine, key, "Empty", "");
    TRegistry reg(Api());
    reg.SetRoot(RegRoot::LocalMachine);
    ASSERT_TRUE(reg.OpenKey("\\" + key, false));
    EXPECT_EQ("Ann Example", reg.ReadString("RegisteredOwner"));
    EXPECT_EQ("%WINDIR%\\x", reg.ReadString("Expanded"));
    EXPECT_EQ("", reg.ReadString("Empty"));
    EXPECT_EQ("", reg.ReadString("Absent"));
    EXPECT_FALSE(reg.OpenKey("\\" + Scratch + "\\NotThere", false));
    EXPECT_TRUE(reg.HasOpenKey());  // a failed open keeps the key that was open
}

TEST_F(RegistryGroup, UncreatableKeyRaisesFailedToCreateKey)
{
    // A key name longer than the registry allows cannot be created.
    std::string path = "\\" + Scratch + "\\" + std::string(300, 'k');
    TRegistry reg(Api(), "\\" + Scratch);
    EXPECT_EQ("Failed to create key " + path, Raised([&] { reg.WriteString(path, "N", "v"); }));
}

}  // namespace

namespace {

TEST_F(RegistryGroup, AKeyIsCountedThenDeletedOnlyWhenEmpty)
{
    TestEnv().SetString(RegRoot::CurrentUser, Scratch + "\\Del\\Sub", "v", "1");
    TestEnv().SetString(RegRoot::CurrentUser, Scratch + "\\Del", "w", "2");
    RegKey root = Api().Root(RegRoot::CurrentUser);
    RegKey key = 0;
    ASSERT_EQ(0, Api().OpenKey(root, Scratch + "\\Del", RegAccess::Full, key));
    std::uint32_t subkeys = 9, values = 9;
    EXPECT_EQ(0, TestEnv().Cleanup().CountContents(key, subkeys, values));
    EXPECT_EQ(1u, subkeys);
    EXPECT_EQ(1u, values);
    EXPECT_EQ(0, TestEnv().Cleanup().DeleteValue(key, "w"));
    EXPECT_EQ(2, TestEnv().Cleanup().DeleteValue(key, "w"));
    Api().CloseKey(key);
    // Windows NT refuses a key with subkeys; the uninstaller counts first.
    EXPECT_NE(0, TestEnv().Cleanup().DeleteSubKey(root, Scratch + "\\Del"));
    EXPECT_TRUE(TestEnv().KeyExists(RegRoot::CurrentUser, Scratch + "\\Del\\Sub"));
    EXPECT_EQ(0, TestEnv().Cleanup().DeleteSubKey(root, Scratch + "\\Del\\Sub"));
    EXPECT_EQ(0, TestEnv().Cleanup().DeleteSubKey(root, Scratch + "\\Del"));
    EXPECT_FALSE(TestEnv().KeyExists(RegRoot::CurrentUser, Scratch + "\\Del"));
    EXPECT_EQ(2, TestEnv().Cleanup().DeleteSubKey(root, Scratch + "\\Del"));
}

}  // namespace
