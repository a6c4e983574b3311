#include "fakes.h"
#include "layoutdocument.h"
#include "recoverykeeper.h"
#include "testlayouts.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

using namespace morvaw;
using namespace morvaw::test;

namespace {

// Configurators on one layout file, each with its document and keeper over
// one recovery folder; a configurator that is destroyed has ended (as a kill
// or a crash ends one: its lock goes with it, its copy stays).
class RecoveryKeeperTest : public ::testing::Test
{
protected:
    struct Configurator
    {
        LayoutDocument document;
        std::unique_ptr<RecoveryKeeper> keeper;
    };

    void SetUp() override { ASSERT_TRUE(WriteBytes(layout(), LayoutWith(Language::USA))); }

    [[nodiscard]] QString layout() const { return QDir(m_dir.path()).filePath("shop.KBD"); }
    [[nodiscard]] QString recovery() const { return QDir(m_dir.path()).filePath("recovery"); }
    // Every entry of the recovery folder, temporary files too.
    [[nodiscard]] QStringList entries() const
    {
        return QDir(recovery()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    // A configurator on the layout; given a token, with key 3 and the
    // language changed and not saved, its copy kept (the token as its legends).
    std::unique_ptr<Configurator> start(const std::string& token = {})
    {
        auto c = std::make_unique<Configurator>();
        EXPECT_TRUE(c->document.load(Native(layout()), LayoutDocument::LoadMode::Whole).ok);
        c->keeper = std::make_unique<RecoveryKeeper>(c->document, Native(recovery()), m_dialogs);
        if (!token.empty()) {
            KeyRecord key = c->document.key(3);
            SetDef(key, 0, Tokens({token}));
            c->document.storeKey(3, key);
            c->document.setLanguage(Language::UK);
            c->keeper->keepLegends(QByteArray::fromStdString(token));
            c->keeper->keepNow();
        }
        return c;
    }
    // At start: the copies left are offered.
    void offer(Configurator& c)
    {
        c.keeper->offerLeftCopies({}, [&](const RecoveryCopy& copy) {
            m_restoredLegends = copy.legends;
            return c.document.recover(copy.layout, copy.fileName, copy.onDisk);
        });
    }
    void touchLayout(std::chrono::hours by)
    {
        std::filesystem::last_write_time(Native(layout()),
                                         std::filesystem::file_time_type::clock::now() + by);
    }

    QTemporaryDir m_dir;
    QByteArray m_restoredLegends;
    ScriptedDialogs m_dialogs; // strict: a question nobody expects fails the test
};

} // namespace

// A running configurator's copy is nobody else's; once it has ended, the next
// start asks, keeps it for later, and restores it byte for byte (the language
// and the legends beside it too) as unsaved changes. Restored, it is that
// configurator's own copy, and goes when the layout is saved. A copy whose
// file was written after it has nothing to give back and goes without a
// question; Discard removes one.
TEST_F(RecoveryKeeperTest, LeftCopiesAreOfferedRestoredAndRemoved)
{
    auto first = start("x");
    const QByteArray inMemory = first->document.layoutBytes();
    auto next = start();
    offer(*next);
    EXPECT_TRUE(m_dialogs.questions.empty());

    first.reset();
    m_dialogs.answers = {Answer::Cancel, Answer::Yes}; // Keep for later, then Restore
    offer(*next);
    ASSERT_EQ(m_dialogs.questions.size(), 1u);
    EXPECT_TRUE(m_dialogs.questions[0].text.contains(layout()));
    EXPECT_FALSE(next->document.isChanged());
    offer(*next);
    EXPECT_EQ(next->document.layoutBytes(), inMemory);
    EXPECT_EQ(next->document.language(), Language::UK);
    EXPECT_EQ(m_restoredLegends, "x");
    EXPECT_TRUE(next->document.isChanged());
    EXPECT_EQ(next->document.fileName(), Native(layout()).string());
    offer(*start());
    EXPECT_EQ(m_dialogs.questions.size(), 2u);
    EXPECT_EQ(entries().size(), 2); // the copy and its legends
    next->keeper->keepNow();        // with no legends held now
    EXPECT_EQ(entries().size(), 1);
    ASSERT_TRUE(next->document.save(next->document.fileName()).ok);
    EXPECT_EQ(ReadBytes(layout()), inMemory);
    next->document.markUnchanged();
    EXPECT_TRUE(entries().isEmpty());

    start("y");
    touchLayout(std::chrono::hours(1));
    offer(*start());
    EXPECT_TRUE(m_dialogs.questions.size() == 2u && entries().isEmpty());
    start("z");
    touchLayout(-std::chrono::hours(1));
    m_dialogs.answers = {Answer::No}; // Discard
    offer(*start());
    EXPECT_EQ(m_dialogs.questions.size(), 3u);
    EXPECT_TRUE(entries().isEmpty());

    // A key the open editor has not handed over yet is kept until it closes.
    auto editing = start();
    KeyRecord key = editing->document.key(3);
    SetDef(key, 0, Tokens({"w"}));
    const QByteArray withKey = editing->document.layoutBytesWithKey(3, key);
    EXPECT_NE(withKey, editing->document.layoutBytes());
    editing->keeper->keepNow({}, withKey);
    ASSERT_EQ(entries().size(), 1);
    EXPECT_TRUE(ReadBytes(QDir(recovery()).filePath(entries()[0])).endsWith(withKey));
    editing->keeper->followDocument(); // no changes of its own: no copy
    EXPECT_TRUE(entries().isEmpty());
}

// With no home there is no state folder: nothing lands in the working folder.
TEST_F(RecoveryKeeperTest, WithoutAFolderNoCopyIsWritten)
{
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    RecoveryFolder nowhere({});
    EXPECT_FALSE(nowhere.keep({"shop.KBD", {}, {}, LayoutWith(Language::USA), {}}).ok);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"shop.KBD"});
    QDir::setCurrent(before);
}
