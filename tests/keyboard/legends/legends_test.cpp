#include "document/testlayouts.h"
#include "keylegends.h"
#include "legendsheet.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

using namespace morvaw;
using namespace morvaw::test;

namespace {

// The A4 landscape page of the command line, inside its 10 mm margins.
const QSizeF kA4Area(277, 190);

struct Word
{
    double x;
    double y;
};

class LegendsPdf : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            GTEST_SKIP() << "pdftotext (poppler-utils, scripts/setup.sh) is not installed";
        LayoutRecordArray records{};
        NewLayout(records);
        SetDef(records[1], 0, Tokens({"C", "O", "F", "F", "E", "E"}));
        SetDef(records[1], 1, Tokens({"L", "A", "T", "T", "E", "Spc", "2", ".", "5", "0"}));
        SetDef(records[2], 0, Tokens({"T", "E", "A", "\x11\xC4\xD9"}));
        SetDef(records[3], 0, Tokens({"W"}));
        m_records = records;
        // An edited legend, kept beside the layout.
        KeyLegends legends(records);
        legends.setLegend(3, "Hot water");
        ASSERT_TRUE(WriteBytes(m_dir.filePath("shop.KBD.legends"), legends.toText()));
    }

    // morvaw --legends, with no display at all.
    int run(const QStringList& arguments)
    {
        EXPECT_TRUE(WriteBytes(m_dir.filePath("shop.KBD"), LayoutFileBytes(m_records)));
        QProcess morvaw;
        auto env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        morvaw.setProcessEnvironment(env);
        morvaw.start(SUITE_PROGRAM_DIR "/morvaw",
                     QStringList{"--legends", m_dir.filePath("shop.KBD"), "--output", pdf()} +
                         arguments);
        EXPECT_TRUE(morvaw.waitForFinished(60000));
        m_errors = morvaw.readAllStandardError();
        return morvaw.exitCode();
    }
    [[nodiscard]] QString pdf() const { return m_dir.filePath("legends.pdf"); }
    [[nodiscard]] QString tool(const QString& program, const QStringList& arguments) const
    {
        QProcess p;
        p.start(program, arguments);
        EXPECT_TRUE(p.waitForFinished(20000));
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    // Each word of the PDF's text with where it begins, in points.
    [[nodiscard]] std::multimap<QString, Word> words() const
    {
        const QString html = tool("pdftotext", {"-bbox", pdf(), "-"});
        static const QRegularExpression word(
            R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)"[^>]*>([^<]*)</word>)re");
        std::multimap<QString, Word> found;
        for (auto it = word.globalMatch(html); it.hasNext();) {
            const auto m = it.next();
            // x: the word's middle, since the key numbers are centred under their inserts
            found.insert({m.captured(4),
                          {(m.captured(1).toDouble() + m.captured(3).toDouble()) / 2,
                           m.captured(2).toDouble()}});
        }
        return found;
    }

    QTemporaryDir m_dir;
    LayoutRecordArray m_records{};
    QByteArray m_errors;
};

} // namespace

TEST_F(LegendsPdf, OneInsertPerKeyWhereTheKeyStands)
{
    ASSERT_EQ(run({}), 0) << m_errors.toStdString();
    const QString info = tool("pdfinfo", {pdf()});
    EXPECT_TRUE(
        info.contains(QRegularExpression(R"(Page size:\s+84[12][.\d]* x 595[.\d]* pts \(A4\))")))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(R"(Pages:\s+1\n)")));

    const auto found = words();
    int inserts = 0;
    for (int key = 1; key <= kKeyCount; ++key)
        inserts += static_cast<int>(found.count(QStringLiteral("#%1").arg(key)));
    EXPECT_EQ(inserts, 84);
    // Key 13 stands under key 1, key 2 beside it.
    const Word one = found.find("#1")->second;
    EXPECT_NEAR(found.find("#13")->second.x, one.x, 1);
    EXPECT_GT(found.find("#13")->second.y, one.y + 30);
    EXPECT_NEAR(found.find("#2")->second.y, one.y, 1);
    EXPECT_GT(found.find("#2")->second.x, one.x + 30);
    for (const char* legend : {"COFFEE", "LATTE", "2.50", "TEA&lt;Enter&gt;", "Hot", "water"})
        EXPECT_EQ(found.count(legend), 1u) << legend;
    EXPECT_EQ(found.count("W"), 0u) << "the edited legend replaces the key's own text";
}

TEST_F(LegendsPdf, LargeInsertsOfTheWidePictureGoOnTwoPages)
{
    m_records[Settings::KbdShape].PosX = 1;
    ASSERT_EQ(run({"--size", "20"}), 0) << m_errors.toStdString();
    EXPECT_TRUE(tool("pdfinfo", {pdf()}).contains(QRegularExpression(R"(Pages:\s+2\n)")));
    const auto found = words();
    for (int key = 1; key <= kKeyCount; ++key) {
        const bool hidden = key >= 61 && key <= 72; // the 14 x 6 picture leaves them out
        EXPECT_EQ(found.count(QStringLiteral("#%1").arg(key)), hidden ? 0u : 1u) << key;
    }
    // No page cuts through a doubled key, and none overlaps another.
    const SheetPlan plan = PlanLegendSheet(1, 20, kA4Area);
    for (const InsertPlace& a : plan.inserts) {
        EXPECT_LE(a.mm.right(), kA4Area.width());
        for (const InsertPlace& b : plan.inserts)
            EXPECT_TRUE(&a == &b || a.page != b.page || !a.mm.intersects(b.mm)) << a.key << b.key;
    }

    QFile::remove(pdf());
    EXPECT_EQ(run({"--size", "25"}), 2);
    EXPECT_TRUE(m_errors.contains("10 to 20 mm"));
    EXPECT_FALSE(QFile::exists(pdf()));
}

// Edited legends live beside the layout: none edited, no file; a file that is
// no legends file changes nothing and says why.
TEST(KeyLegendsFile, KeepsOnlyEditedLegendsAndRefusesOtherFiles)
{
    QTemporaryDir dir;
    const std::filesystem::path layout = Native(dir.filePath("shop.KBD"));
    const std::filesystem::path file = KeyLegends::FileFor(layout);
    LayoutRecordArray records{};
    NewLayout(records);
    SetDef(records[4], 0, Tokens({"T", "E", "A"}));
    SetDef(records[5], 0, Tokens({"W"}));
    KeyLegends legends(records);
    EXPECT_TRUE(legends.save(file).ok);
    EXPECT_FALSE(std::filesystem::exists(file));

    legends.setLegend(4, "Green tea");
    legends.setLegend(5, ""); // a blank insert
    EXPECT_FALSE(legends.setSizeMm(9.5));
    EXPECT_TRUE(legends.setSizeMm(17));
    ASSERT_TRUE(legends.save(file).ok);
    KeyLegends read(records);
    ASSERT_TRUE(read.load(file).ok);
    EXPECT_TRUE(read.isEdited(5));
    EXPECT_EQ(read.legend(5), "");
    EXPECT_EQ(read.sizeMm(), 17);
    // Set back to the key's own text, a legend is no longer an edited one.
    read.setLegend(4, "TEA");
    EXPECT_FALSE(read.isEdited(4));

    for (const QByteArray& text :
         {QByteArray("{\"format\": \"morvaw legends\", \"legends\": {\"85\": \"x\"}}"),
          QByteArray("{\"format\": \"morvaw legends\", \"sizeMm\": 40}"),
          QByteArray("{\"format\": \"morvaw legends\", \"sizeMm\": \"12\"}"),
          QByteArray("{\"format\": \"morvaw legends\", \"legends\": [\"x\"]}"),
          QByteArray("{\"format\": \"morvaw legends\", \"legends\": {\"4\": \"\\ud800\"}}"),
          QByteArray("{\"format\": \"morvaw legends\",\n \"legends\": {\"4\" \"x\"}}")}) {
        KeyLegends other(records);
        other.setLegend(4, "kept");
        const FileOutcome outcome = other.readText(text);
        EXPECT_FALSE(outcome.ok) << text.toStdString();
        EXPECT_EQ(other.legend(4), "kept");
        EXPECT_EQ(other.sizeMm(), KeyLegends::kDefaultSizeMm);
    }
}
