#include "platform/core/Registry.h"
#include "platform/qt/Controls.h"
#include "platform/qt/RecentDocumentList.h"
#include "tests/support/qt/QtTestSupport.h"

#include <QMenu>

#include <gtest/gtest.h>

namespace {

const char* const kProgram = "Software\\Quillex\\Pelmora";
const char* const kList = "Software\\Quillex\\Pelmora\\Recent Document List";

class RecentDocumentsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        SetRegistry(&registry);
    }
    void TearDown() override { SetRegistry(nullptr); }
    MemoryRegistry registry;
};

TEST_F(RecentDocumentsTest, MostRecentFirstWithoutDuplicatesAndAtMostSixteen) {
    CRecentDocumentList list;
    for (int i = 0; i < 20; ++i)
        list.AddToList(CString("/docs/") + CString(std::to_string(i)) + ".pgr");
    ASSERT_EQ(list.Entries().size(), 16u);
    EXPECT_EQ(list.Entries().front(), "/docs/19.pgr");
    list.AddToList("/docs/10.pgr");
    EXPECT_EQ(list.Entries().size(), 16u);
    EXPECT_EQ(list.Entries().front(), "/docs/10.pgr");
    // Another case is another file: it joins the list and the oldest entry drops out.
    list.AddToList("/DOCS/10.pgr");
    ASSERT_EQ(list.Entries().size(), 16u);
    EXPECT_EQ(list.Entries()[0], "/DOCS/10.pgr");
    EXPECT_EQ(list.Entries()[1], "/docs/10.pgr");
    EXPECT_EQ(list.Entries().back(), "/docs/5.pgr");
    CString path;
    EXPECT_TRUE(list.GetFromList(57616 + 15, path));
    EXPECT_FALSE(list.GetFromList(57616 + 16, path));
}

TEST_F(RecentDocumentsTest, RegistryRoundTrip) {
    CRecentDocumentList list;
    list.AddToList("/a.pgr");
    list.AddToList("/b.pgr");
    ASSERT_TRUE(list.WriteToRegistry(kProgram));
    EXPECT_EQ(registry.ReadDword(kList, "DocumentCount"), 2u);
    EXPECT_EQ(registry.ReadString(kList, "Document1"), CString("/b.pgr"));
    EXPECT_EQ(registry.ReadString(kList, "Document2"), CString("/a.pgr"));
    list.RemoveFromList(57616);
    list.WriteToRegistry(kProgram);
    EXPECT_EQ(registry.ReadDword(kList, "DocumentCount"), 1u);
    EXPECT_FALSE(registry.ReadString(kList, "Document2"));
    CRecentDocumentList read;
    ASSERT_TRUE(read.ReadFromRegistry(kProgram));
    ASSERT_EQ(read.Entries().size(), 1u);
    EXPECT_EQ(read.Entries()[0], "/a.pgr");
    CRecentDocumentList none;
    SetRegistry(nullptr);
    MemoryRegistry empty;
    SetRegistry(&empty);
    EXPECT_FALSE(none.ReadFromRegistry(kProgram));
}

TEST_F(RecentDocumentsTest, MenuShowsEmptyOrNumberedEntries) {
    QMenu menu;
    CRecentDocumentList list;
    list.SetMenuHandle(&menu);
    ASSERT_EQ(menu.actions().size(), 1);
    EXPECT_EQ(menu.actions()[0]->text(), "(Empty)");
    EXPECT_FALSE(menu.actions()[0]->isEnabled());
    list.AddToList("/a.pgr");
    list.AddToList("/R&D.pgr");
    ASSERT_EQ(menu.actions().size(), 2);
    EXPECT_EQ(menu.actions()[0]->text(), "&1 /R&&D.pgr");
    EXPECT_EQ(CommandIdOf(menu.actions()[0]), 57616);
    EXPECT_EQ(CommandIdOf(menu.actions()[1]), 57617);
    EXPECT_TRUE(list.MoveToTop(57617));
    EXPECT_EQ(list.Entries()[0], "/a.pgr");
}

} // namespace
