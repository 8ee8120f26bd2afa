#include "platform/qt/QtRegistry.h"
#include "tests/support/TempDir.h"

#include <QFile>

#include <string>

#include <gtest/gtest.h>

namespace {

const char* const kSettings = "Software\\Quillex\\Pelmora\\Settings";

class QtRegistryTest : public ::testing::Test {
protected:
    TempDir dir;
    QString IniPath() const { return QString::fromStdString(dir.File("settings.ini")); }
};

TEST_F(QtRegistryTest, DwordsAndStringsStayDistinct) {
    QtRegistry store(IniPath());
    store.WriteDword(kSettings, "wp.left", 0xFFFFFFF6u);
    store.WriteString("Software\\Quillex\\Pelmora\\Files", "LastFileUsed", "/home/u/a.pgr");
    store.WriteString("Software\\Quillex\\Pelmora\\Files", "Tricky", "dword:00000001");
    EXPECT_EQ(store.ReadDword(kSettings, "wp.left"), 0xFFFFFFF6u);
    EXPECT_FALSE(store.ReadString(kSettings, "wp.left"));
    EXPECT_EQ(store.ReadString("Software\\Quillex\\Pelmora\\Files", "LastFileUsed"),
              CString("/home/u/a.pgr"));
    EXPECT_FALSE(store.ReadDword("Software\\Quillex\\Pelmora\\Files", "LastFileUsed"));
    EXPECT_EQ(store.ReadString("Software\\Quillex\\Pelmora\\Files", "Tricky"), CString("dword:00000001"));
    EXPECT_FALSE(store.ReadDword("Software\\Quillex\\Pelmora\\Files", "Tricky"));
}

TEST_F(QtRegistryTest, ValuesSurviveAReopen) {
    {
        QtRegistry store(IniPath());
        store.WriteDword(kSettings, "wp.showCmd", 3);
        store.WriteString("Software\\Quillex\\Pelmora\\Recent Document List", "Document1", "/x/y z.pgr");
    }
    QtRegistry store(IniPath());
    EXPECT_EQ(store.ReadDword(kSettings, "wp.showCmd"), 3u);
    EXPECT_EQ(store.ReadString("Software\\Quillex\\Pelmora\\Recent Document List", "Document1"),
              CString("/x/y z.pgr"));
}

TEST_F(QtRegistryTest, PathsWithBackslashesAndQuotesSurviveAReopenExactly) {
    const char* const paths[] = {"/home/u/back\\slash.pgr", "/home/u/we\"ird.pgr", "/home/u/\\\"both\"\\.pgr",
                                 "/home/u/semi;colon,comma.pgr"};
    {
        QtRegistry store(IniPath());
        int n = 0;
        for (const char* path : paths)
            store.WriteString("Software\\Quillex\\Pelmora\\Files", ("Path" + std::to_string(n++)).c_str(),
                              path);
    }
    QtRegistry store(IniPath());
    int n = 0;
    for (const char* path : paths)
        EXPECT_EQ(
            store.ReadString("Software\\Quillex\\Pelmora\\Files", ("Path" + std::to_string(n++)).c_str()),
            CString(path));
}

TEST_F(QtRegistryTest, KeysMatchIgnoringCase) {
    QtRegistry store(IniPath());
    store.WriteDword(kSettings, "OpenLastFile", 1);
    EXPECT_EQ(store.ReadDword("software\\quillex\\PELMORA\\settings", "openlastfile"), 1u);
    store.WriteDword("SOFTWARE\\Quillex\\Pelmora\\Settings", "OPENLASTFILE", 0);
    EXPECT_EQ(store.ReadDword(kSettings, "OpenLastFile"), 0u);
    EXPECT_EQ(store.Settings().allKeys().size(), 1);
}

TEST_F(QtRegistryTest, KeysExistOnceCreatedAndGoWhenDeleted) {
    QtRegistry store(IniPath());
    EXPECT_FALSE(store.KeyExists("Software\\Quillex\\Pelmora"));
    ASSERT_TRUE(store.CreateKey("Software\\Quillex\\Pelmora\\Alarm"));
    EXPECT_TRUE(store.KeyExists("Software\\Quillex\\Pelmora"));
    EXPECT_TRUE(store.KeyExists("Software\\Quillex\\Pelmora\\Alarm"));
    EXPECT_FALSE(store.KeyExists("Software\\Quillex\\Pelmora\\Files"));
    EXPECT_FALSE(store.ReadDword("Software\\Quillex\\Pelmora\\Alarm", "UseAlarmSound"));
    store.WriteDword("Software\\Quillex\\Pelmora\\Alarm", "UseAlarmSound", 1);
    EXPECT_TRUE(store.DeleteValue("Software\\Quillex\\Pelmora\\Alarm", "UseAlarmSound"));
    EXPECT_FALSE(store.DeleteValue("Software\\Quillex\\Pelmora\\Alarm", "UseAlarmSound"));
    EXPECT_TRUE(store.KeyExists("Software\\Quillex\\Pelmora\\Alarm"));
    EXPECT_TRUE(store.DeleteKey("Software\\Quillex\\Pelmora"));
    EXPECT_FALSE(store.KeyExists("Software\\Quillex\\Pelmora\\Alarm"));
}

TEST_F(QtRegistryTest, InstallsItselfWhileAlive) {
    {
        QtRegistry store(IniPath());
        EXPECT_EQ(&Registry(), &store);
        Registry().WriteDword(kSettings, "wp.top", 7);
        EXPECT_EQ(store.ReadDword(kSettings, "wp.top"), 7u);
    }
    EXPECT_FALSE(Registry().ReadDword(kSettings, "wp.top"));
}

TEST(QtRegistryEncoding, TaggedTexts) {
    std::optional<uint32_t> dword;
    QString text;
    EXPECT_EQ(QtRegistry::EncodeDword(42), "dword:0000002a");
    ASSERT_TRUE(QtRegistry::Decode("dword:0000002a", dword, text));
    EXPECT_EQ(dword, 42u);
    ASSERT_TRUE(QtRegistry::Decode(QtRegistry::EncodeString("sz:x"), dword, text));
    EXPECT_FALSE(dword);
    EXPECT_EQ(text, "sz:x");
    EXPECT_FALSE(QtRegistry::Decode("dword:zz", dword, text));
}

} // namespace
