#include "data/DbDoc.h"
#include "data/DocBase.h"
#include "data/DocObserver.h"
#include "tests/support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records every notification it gets into a shared log, prefixed with its name.
class RecordingObserver : public CDocObserver {
public:
    RecordingObserver(std::string name, std::vector<std::string>& log)
        : m_name(std::move(name)), m_log(log) {}

    void OnDocumentModified() override { m_log.push_back(m_name + " modified"); }
    void OnUpdate() override { m_log.push_back(m_name + " update"); }
    void OnViewAttached(CDocObserver* view) override {
        m_log.push_back(m_name + " attached " + NameOf(view));
    }
    void OnViewDetached(CDocObserver* view) override {
        m_log.push_back(m_name + " detached " + NameOf(view));
    }
    void OnPathChanged(const char* path) override { m_log.push_back(m_name + " path " + path); }

    const std::string& Name() const { return m_name; }

private:
    static std::string NameOf(CDocObserver* view) {
        auto* recording = dynamic_cast<RecordingObserver*>(view);
        return recording ? recording->Name() : "?";
    }

    std::string m_name;
    std::vector<std::string>& m_log;
};

using Log = std::vector<std::string>;

TEST(DocObserverTest, AttachNotifiesEveryObserverIncludingTheNewOne) {
    Log log;
    CDbDoc doc;
    RecordingObserver a("a", log), b("b", log);
    a.Attach(&doc);
    b.Attach(&doc);
    EXPECT_EQ(log, (Log{"a attached a", "a attached b", "b attached b"}));
    EXPECT_EQ(a.GetDocument(), &doc);
    EXPECT_EQ(doc.GetViews().size(), 2u);
}

TEST(DocObserverTest, ModifiedFlagReachesEveryObserverIncludingTheSender) {
    Log log;
    CDbDoc doc;
    RecordingObserver a("a", log), b("b", log), c("c", log);
    a.Attach(&doc);
    b.Attach(&doc);
    c.Attach(&doc);
    log.clear();
    doc.SetModifiedFlag(true, true);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(b.IsModified());
    EXPECT_EQ(log, (Log{"a modified", "b modified", "c modified"}));
    log.clear();
    doc.SetModifiedFlag(false, false);
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(a.IsModified());
}

TEST(DocObserverTest, UpdateAllViewsSkipsTheSender) {
    Log log;
    CDbDoc doc;
    RecordingObserver a("a", log), b("b", log), c("c", log);
    a.Attach(&doc);
    b.Attach(&doc);
    c.Attach(&doc);
    log.clear();
    EXPECT_EQ(doc.UpdateAllViews(&b), 2);
    EXPECT_EQ(log, (Log{"a update", "c update"}));
    log.clear();
    EXPECT_EQ(doc.UpdateAllViews(nullptr), 3);
    EXPECT_EQ(log.size(), 3u);
}

TEST(DocObserverTest, DetachTellsTheRemainingObservers) {
    Log log;
    CDbDoc doc;
    RecordingObserver a("a", log), b("b", log);
    a.Attach(&doc);
    b.Attach(&doc);
    log.clear();
    a.Detach();
    EXPECT_EQ(a.GetDocument(), nullptr);
    EXPECT_EQ(log, (Log{"b detached a"}));
    a.Detach(); // a detached observer detaches again without effect
    EXPECT_EQ(log.size(), 1u);
    EXPECT_FALSE(doc.RemoveView(&a));
    log.clear();
    doc.SetModifiedFlag(true, true);
    EXPECT_EQ(log, (Log{"b modified"}));
}

TEST(DocObserverTest, DestroyedObserverLeavesTheDocument) {
    Log log;
    CDbDoc doc;
    RecordingObserver a("a", log);
    a.Attach(&doc);
    {
        RecordingObserver b("b", log);
        b.Attach(&doc);
    }
    EXPECT_EQ(doc.GetViews().size(), 1u);
    log.clear();
    doc.UpdateAllViews(nullptr);
    EXPECT_EQ(log, (Log{"a update"}));
}

TEST(DocObserverTest, DestroyedDocumentDetachesEveryObserver) {
    Log log;
    RecordingObserver a("a", log), b("b", log);
    {
        CDbDoc doc;
        a.Attach(&doc);
        b.Attach(&doc);
    }
    EXPECT_EQ(a.GetDocument(), nullptr);
    EXPECT_EQ(b.GetDocument(), nullptr);
}

// An observer that detaches itself when told of a change must not upset the fan-out.
class SelfDetachingObserver : public RecordingObserver {
public:
    using RecordingObserver::RecordingObserver;
    void OnDocumentModified() override {
        RecordingObserver::OnDocumentModified();
        Detach();
    }
};

TEST(DocObserverTest, ObserverDetachingDuringNotification) {
    Log log;
    CDbDoc doc;
    SelfDetachingObserver a("a", log);
    RecordingObserver b("b", log);
    a.Attach(&doc);
    b.Attach(&doc);
    log.clear();
    doc.SetModifiedFlag(true, true);
    EXPECT_EQ(log, (Log{"a modified", "b detached a", "b modified"}));
    EXPECT_EQ(doc.GetViews().size(), 1u);
}

TEST(DocObserverTest, PathNameKeeps259CharactersAndNotifies) {
    Log log;
    CDbDoc doc;
    RecordingObserver a("a", log);
    a.Attach(&doc);
    EXPECT_EQ(doc.GetTitle(), CString("Untitled"));
    log.clear();
    std::string path = "/" + std::string(258, 'p');
    doc.SetPathName(path.c_str());
    EXPECT_EQ(std::string(doc.GetPathName()), path);
    EXPECT_EQ(doc.GetTitle(), CString(path));
    EXPECT_EQ(log, (Log{"a path " + path}));
    doc.SetPathName((path + "xyz").c_str());
    EXPECT_EQ(std::string(doc.GetPathName()), path);
}

TEST(DocObserverTest, NewDocumentClearsPathAndFlag) {
    Log log;
    CDbDoc doc;
    RecordingObserver a("a", log);
    a.Attach(&doc);
    doc.SetPathName("/tmp/x.pgr");
    doc.SetModifiedFlag(true, false);
    log.clear();
    EXPECT_TRUE(doc.OnNewDocument());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetTitle(), CString("Untitled"));
    EXPECT_EQ(log, (Log{"a modified"}));
}

TEST(DocObserverTest, SaveModifiedAsksOnlyWhenModified) {
    ScriptedPrompt prompt;
    Log log;
    CDocBase doc;
    RecordingObserver a("a", log);
    EXPECT_TRUE(a.SaveModified(nullptr, "Pelmora"));
    a.Attach(&doc);
    EXPECT_TRUE(a.SaveModified(nullptr, "Pelmora"));
    EXPECT_EQ(prompt.Calls().size(), 0u);

    doc.SetPathName("/tmp/x.pgr");
    doc.SetModifiedFlag(true, false);
    prompt.AnswerMessageBox(IDCANCEL);
    EXPECT_FALSE(a.SaveModified(nullptr, "Pelmora"));
    prompt.AnswerMessageBox(IDNO);
    EXPECT_TRUE(a.SaveModified(nullptr, "Pelmora"));
    prompt.AnswerMessageBox(IDYES);
    EXPECT_TRUE(a.SaveModified(nullptr, "Pelmora"));
    EXPECT_FALSE(doc.IsModified());
    ASSERT_EQ(prompt.MessageBoxes().size(), 3u);
    EXPECT_EQ(prompt.MessageBoxes()[0].text, CString("Save changes to /tmp/x.pgr?"));
    EXPECT_EQ(prompt.MessageBoxes()[0].caption, CString("Pelmora"));
    EXPECT_EQ(prompt.MessageBoxes()[0].flags, MB_YESNOCANCEL | MB_ICONWARNING);
}

TEST(DocObserverTest, BaseFileSaveOfUntitledRunsSaveAs) {
    ScriptedPrompt prompt;
    CDocBase doc;
    prompt.AnswerFileDialog("/tmp/chosen.txt");
    bool error = true;
    EXPECT_TRUE(doc.OnFileSave(error));
    EXPECT_FALSE(error);
    EXPECT_EQ(doc.GetTitle(), CString("/tmp/chosen.txt"));
    EXPECT_EQ(prompt.Calls()[0].kind, ScriptedPrompt::Kind::SaveFileDialog);
    // Not modified: saving again asks nothing.
    EXPECT_TRUE(doc.OnFileSave(error));
    EXPECT_EQ(prompt.Calls().size(), 1u);
}

TEST(DocObserverTest, FileFilters) {
    CDocBase base;
    ASSERT_EQ(base.GetFileFilter().size(), 1u);
    EXPECT_EQ(base.GetFileFilter()[0].first, CString("All Files"));
    EXPECT_EQ(base.GetFileFilter()[0].second, CString("*.*"));
    EXPECT_EQ(base.GetDefaultExt(), nullptr);
    CDbDoc doc;
    EXPECT_STREQ(doc.GetDefaultExt(), "pgr");
    EXPECT_EQ(doc.GetFileFilter().size(), 2u);
}

TEST(DocObserverTest, FreshDocumentState) {
    CDbDoc doc;
    EXPECT_FALSE(doc.IsOpen());
    EXPECT_EQ(doc.m_reportKind, 0);
    EXPECT_EQ(doc.m_personSortOrder, 0);
    EXPECT_EQ(doc.m_listedTaskCount + doc.m_listedApptCount + doc.m_listedPersonCount, 0);
    EXPECT_FALSE(doc.m_audibleAlarm);
    EXPECT_TRUE(doc.m_currentGroupId.IsEmpty());
    EXPECT_EQ(doc.m_alarmSoundFile, CString("notify.wav"));
    EXPECT_TRUE(doc.GetCurrentDate().IsMidnight());
    CDateTime now = CDateTime::GetCurrentTime();
    EXPECT_EQ(doc.GetCurrentDate(), CDateTime(now.GetYear(), now.GetMonth(), now.GetDay()));
    EXPECT_FALSE(doc.m_created.IsValid());
}

} // namespace
