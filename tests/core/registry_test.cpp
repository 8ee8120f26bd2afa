#include "platform/core/Registry.h"

#include <gtest/gtest.h>

TEST(MemoryRegistry, KeepsDwordAndStringValuesApart) {
    MemoryRegistry store;
    const char* key = "Software\\Quillex\\Pelmora\\Settings";
    EXPECT_FALSE(store.KeyExists(key));
    store.WriteDword(key, "wp.left", 0xFFFFFFF6u);
    store.WriteString(key, "Name", "Plans.pgr");
    EXPECT_TRUE(store.KeyExists("software\\quillex\\pelmora"));
    EXPECT_EQ(store.ReadDword(key, "wp.left"), 0xFFFFFFF6u);
    EXPECT_FALSE(store.ReadString(key, "wp.left"));
    EXPECT_FALSE(store.ReadDword(key, "Name"));
    EXPECT_EQ(*store.ReadString(key, "Name"), "Plans.pgr");
    EXPECT_TRUE(store.DeleteValue(key, "Name"));
    EXPECT_FALSE(store.ReadString(key, "Name"));
    EXPECT_TRUE(store.DeleteKey("Software\\Quillex"));
    EXPECT_FALSE(store.KeyExists(key));
}

TEST(Registry, InstalledStoreReplacesTheBuiltInOne) {
    MemoryRegistry store;
    SetRegistry(&store);
    Registry().WriteDword("Software\\Test", "Value", 7);
    EXPECT_EQ(store.ReadDword("Software\\Test", "Value"), 7u);
    SetRegistry(nullptr);
    EXPECT_FALSE(Registry().ReadDword("Software\\Test", "Value"));
}
