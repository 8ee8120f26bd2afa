#include "data/DateParser.h"
#include "data/DateTime.h"
#include "platform/core/DateFormat.h"
#include "platform/core/Registry.h"
#include "platform/core/SettingsCache.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kInternational = "Control Panel\\International";

// A store that counts the reads of the regional values and can change one behind the program's back,
// as another program editing the settings file would.
class CountingRegistry : public MemoryRegistry {
public:
    std::optional<CString> ReadString(const char* key, const char* name) const override {
        if (std::string(key) == kInternational)
            ++m_regionalReads;
        return m_behind ? m_behind : MemoryRegistry::ReadString(key, name);
    }
    void ChangeBehind(const char* picture) { m_behind = CString(picture); }
    int RegionalReads() const { return m_regionalReads; }

private:
    mutable int m_regionalReads = 0;
    std::optional<CString> m_behind;
};

class SettingsCache : public testing::Test {
protected:
    void SetUp() override { SetRegistry(&m_store); }
    void TearDown() override { SetRegistry(nullptr); }
    CountingRegistry m_store;
};

int MonthOf(const char* text) {
    CDateTime date;
    date.ParseDateTime(text);
    return date.GetMonth();
}

} // namespace

TEST_F(SettingsCache, DatesReadTheRegionalValuesOnceNotPerDate) {
    for (int i = 0; i < 200; ++i) {
        CDateTime date;
        date.ParseDateTime("3/4/2006");
        EXPECT_EQ(date.Format("%Y-%m-%d"), "2006-03-04");
        EXPECT_EQ(date.FormatDate(nullptr), "3/4/2006");
        (void)CDateParser::GetShortDateFormat();
    }
    EXPECT_LE(m_store.RegionalReads(), 4);
}

TEST_F(SettingsCache, AWriteOrTheSettingsChangeNoticeIsSeenAtOnce) {
    EXPECT_EQ(MonthOf("3/4/2006"), 3);
    m_store.WriteString(kInternational, "sShortDate", "dd/MM/yyyy");
    EXPECT_EQ(MonthOf("3/4/2006"), 4);
    EXPECT_EQ(CDateParser::GetShortDateFormat(), "%d/%m/%Y");

    // Changed behind the program: kept until the desktop announces the change.
    m_store.ChangeBehind("M/d/yyyy");
    EXPECT_EQ(MonthOf("3/4/2006"), 4);
    NotifySettingsChanged();
    EXPECT_EQ(MonthOf("3/4/2006"), 3);
    EXPECT_EQ(CDateParser::GetShortDateFormat(), "%#m/%#d/%Y");
}

TEST_F(SettingsCache, AnotherStoreInstalledIsReadAfresh) {
    m_store.WriteString(kInternational, "sShortDate", "dd/MM/yyyy");
    EXPECT_EQ(UserShortDatePicture(), "dd/MM/yyyy");
    MemoryRegistry other;
    SetRegistry(&other);
    EXPECT_EQ(MonthOf("3/4/2006"), 3);
    SetRegistry(&m_store);
    EXPECT_EQ(MonthOf("3/4/2006"), 4);
}
