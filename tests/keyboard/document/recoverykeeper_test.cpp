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
    std::unique_ptr<Configurator> start()
    {
        auto c = std::make_unique<Configurator>();
        EXPECT_TRUE(c->document.load(Native(layout()), LayoutDocument::LoadMode::Whole).ok);
        c->keeper = std::make_unique<RecoveryKeeper>(c->document, Native(recovery()), m_dialogs);
        return c;
    }
    // Key 3 and the language changed, not saved.
    static void edit(LayoutDocument& document, const std::string& token)
    {
        KeyRecord key = document.key(3);
        SetDef(key, 0, Tokens({token}));
        document.storeKey(3, key);
        document.setLanguage(Language::UK);
    }
    // A configurator that ended with unsaved changes; what it had in memory.
    QByteArray leaveCopy(const std::string& token, const QString& session = {})
    {
        auto ended = start();
        edit(ended->document, token);
        ended->keeper->keepNow(session);
        return ended->document.layoutBytes();
    }
    // At start: the copies left are offered.
    void offer(Configurator& c, const QString& session = {})
    {
        c.keeper->offerLeftCopies(session, [&c](const RecoveryCopy& copy) {
            return c.document.recover(copy.layout, copy.fileName, copy.onDisk);
        });
    }

    QTemporaryDir m_dir;
    ScriptedDialogs m_dialogs; // strict: a question nobody expects fails the test
};

} // namespace

// The copy is what Save would write (the language in record 96 too), with the
// file it belongs to; it goes when the layout is saved or its changes dropped.
TEST_F(RecoveryKeeperTest, ACopyIsKeptWhileTheLayoutHasUnsavedChanges)
{
    auto c = start();
    edit(c->document, "x");
    c->keeper->keepNow();
    ASSERT_EQ(entries().size(), 1);
    const auto copy =
        ParseRecoveryCopy(BytesOf(ReadBytes(QDir(recovery()).filePath(entries()[0]))));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->fileName, Native(layout()).string());
    EXPECT_EQ(copy->onDisk.path, Native(layout()));

    ASSERT_TRUE(c->document.save(c->document.fileName()).ok);
    EXPECT_EQ(copy->layout, ReadBytes(layout()));
    c->document.markUnchanged();
    EXPECT_TRUE(entries().isEmpty());

    c->document.markChanged(); // a key clicked
    c->keeper->keepNow();
    EXPECT_EQ(entries().size(), 1);
    c->document.markUnchanged(); // No at "Layout changed. Save current changes ?"
    EXPECT_TRUE(entries().isEmpty());
}

// A running configurator's copy is nobody else's; once it has ended, the next
// start asks, keeps it for later, and restores it byte for byte as unsaved
// changes. Restored, it is that configurator's own copy.
TEST_F(RecoveryKeeperTest, ALeftCopyIsOfferedAndRestoredByteForByte)
{
    auto first = start();
    edit(first->document, "x");
    first->keeper->keepForEnd();
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
    EXPECT_TRUE(next->document.isChanged());
    EXPECT_EQ(next->document.fileName(), Native(layout()).string());
    EXPECT_EQ(entries().size(), 1);
    auto third = start();
    offer(*third);
    EXPECT_EQ(m_dialogs.questions.size(), 2u);
}

// A copy whose file was written after it has nothing to give back and goes
// without a question; the session a restart resumes takes its copy back
// without asking; Discard removes one.
TEST_F(RecoveryKeeperTest, SupersededCopiesGoAndASessionTakesItsOwnBack)
{
    using Clock = std::filesystem::file_time_type::clock;
    leaveCopy("x");
    std::filesystem::last_write_time(Native(layout()), Clock::now() + std::chrono::hours(1));
    auto c = start();
    offer(*c);
    EXPECT_TRUE(m_dialogs.questions.empty() && entries().isEmpty());

    leaveCopy("y");
    const QByteArray resumed = leaveCopy("z", QStringLiteral("s1_k1"));
    std::filesystem::last_write_time(Native(layout()), Clock::now() - std::chrono::hours(1));
    offer(*c, QStringLiteral("s1_k1"));
    EXPECT_TRUE(m_dialogs.questions.empty());
    EXPECT_EQ(c->document.layoutBytes(), resumed);
    m_dialogs.answers = {Answer::No}; // Discard "y"
    offer(*start());
    EXPECT_EQ(m_dialogs.questions.size(), 1u);
    EXPECT_EQ(entries().size(), 1);
}

// With no home there is no state folder: nothing lands in the working folder.
TEST_F(RecoveryKeeperTest, WithoutAFolderNoCopyIsWritten)
{
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    RecoveryFolder nowhere({});
    EXPECT_FALSE(nowhere.keep({"shop.KBD", {}, {}, LayoutWith(Language::USA)}).ok);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"shop.KBD"});
    QDir::setCurrent(before);
}
