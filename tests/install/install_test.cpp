// Installs the suite into a temporary prefix, as the package does under /usr,
// and starts both programs from there: they find their data under share/,
// keep the user's files in the per-user folder, write nothing under the
// prefix, and end cleanly.
#include "programfolders.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <map>
#include <memory>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// A prefix whose name is not valid UTF-8, reached by the program through a
// link with a plain name: the programs see their real folder's bytes.
constexpr const char* kOddPrefix = "caf\xC9";

fs::path asPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Every file under a folder with its size and time, to see that none changed.
std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> snapshot(const fs::path& top)
{
    std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> files;
    for (const auto& entry : fs::recursive_directory_iterator(top)) {
        const bool regular = entry.is_regular_file();
        files[fs::relative(entry.path(), top).native()] = {regular ? entry.file_size() : 0,
                                                           entry.last_write_time()};
    }
    return files;
}

class Installed : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_root = std::make_unique<QTemporaryDir>();
        QProcess install;
        install.start(QStringLiteral(SUITE_CMAKE),
                      {"--install", QStringLiteral(SUITE_BINARY_DIR), "--prefix", plain()});
        s_installed = install.waitForFinished(120000) && install.exitCode() == 0;
        s_installLog = install.readAllStandardError().toStdString();
        if (!s_installed)
            return;
        const fs::path odd = asPath(s_root->path()) / kOddPrefix;
        fs::copy(asPath(plain()), odd, fs::copy_options::recursive);
        fs::create_symlink(kOddPrefix, asPath(s_root->path()) / "odd");
    }
    static void TearDownTestSuite() { s_root.reset(); }

    void SetUp() override { ASSERT_TRUE(s_installed) << s_installLog; }

    static QString plain() { return s_root->filePath("prefix"); }
    static fs::path prefix() { return asPath(plain()); }

    static inline std::unique_ptr<QTemporaryDir> s_root;
    static inline bool s_installed = false;
    static inline std::string s_installLog;
};

TEST_F(Installed, TheProgramsDataMenuEntriesAndIconsAreWhereDebianKeepsThem)
{
    for (const char* file :
         {"bin/morvaw", "bin/vornestw", "share/morvaw/ASSOC1.BIN", "share/morvaw/SWISST.BIN",
          "share/morvaw/STCSP.TBL", "share/morvaw/numl1.bmp", "share/morvaw/MORVA.HLP",
          "share/morvaw/morva_contents.html", "share/vornestw/lcdicon.ico"})
        EXPECT_TRUE(fs::is_regular_file(prefix() / file)) << file;
    EXPECT_EQ(::access((prefix() / "bin/morvaw").c_str(), X_OK), 0);

    for (const char* program : {"morvaw", "vornestw"}) {
        const QString entry =
            plain() + QStringLiteral("/share/applications/%1.desktop").arg(program);
        QProcess validate;
        validate.setProcessChannelMode(QProcess::MergedChannels);
        validate.start("desktop-file-validate", {entry});
        ASSERT_TRUE(validate.waitForFinished(20000))
            << "desktop-file-validate (Debian package desktop-file-utils) is missing";
        const std::string said = validate.readAll().toStdString();
        EXPECT_EQ(validate.exitCode(), 0) << said;
        EXPECT_EQ(said, "") << "no warnings either";
        const std::string text = readFile(asPath(entry));
        EXPECT_NE(text.find(std::string("\nExec=") + program + "\n"), std::string::npos);
        EXPECT_NE(text.find(std::string("\nIcon=") + program + "\n"), std::string::npos);

        for (int size : {16, 24, 32, 48, 64, 128, 256}) {
            const QString file =
                plain() +
                QStringLiteral("/share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(program);
            const QImage icon(file);
            ASSERT_FALSE(icon.isNull()) << file.toStdString();
            EXPECT_EQ(icon.size(), QSize(size, size)) << file.toStdString();
            EXPECT_EQ(qAlpha(icon.pixel(0, size - 1)), 0) << "a shape, not a square";
            EXPECT_EQ(qAlpha(icon.pixel(size / 2, size * 3 / 4)), 255) << file.toStdString();
        }
    }
}

struct Start
{
    const char* program;
    const char* prefix; // folder under the temporary root
    bool xdgConfigHome; // else only HOME is set
};

void PrintTo(const Start& row, std::ostream* out)
{
    *out << row.program << " from " << row.prefix;
}

class InstalledStart : public Installed, public ::testing::WithParamInterface<Start>
{
};

TEST_P(InstalledStart, FindsItsDataWritesOnlyTheUsersFolderAndExitsCleanly)
{
    const Start& row = GetParam();
    const fs::path top = asPath(s_root->path()) / (row.prefix[0] == 'o' ? kOddPrefix : row.prefix);
    const auto before = snapshot(top);

    QTemporaryDir home;
    const fs::path config = asPath(home.path()) / (row.xdgConfigHome ? "xdg" : ".config");
    QProcess process;
    process.setProgram(s_root->filePath(row.prefix) + "/bin/" + row.program);
    process.setWorkingDirectory(home.path());
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", home.path());
    env.remove("XDG_CONFIG_HOME");
    if (row.xdgConfigHome)
        env.insert("XDG_CONFIG_HOME", home.filePath("xdg"));
    process.setProcessEnvironment(env);
    process.start();
    ASSERT_TRUE(process.waitForStarted(10000));
    EXPECT_FALSE(process.waitForFinished(1500)) << process.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(20000));
    const std::string errors = process.readAllStandardError().toStdString();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << errors;
    EXPECT_EQ(process.exitCode(), 0) << errors;
    EXPECT_EQ(errors.find("Sanitizer"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("runtime error"), std::string::npos) << errors;

    EXPECT_EQ(snapshot(top), before) << "nothing is written under the prefix";
    if (std::string(row.program) == "morvaw") {
        const fs::path user = config / "morvaw";
        struct stat info
        {
        };
        ASSERT_EQ(::stat(user.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        EXPECT_EQ(fs::file_size(user / "PALIX.INI"), 10000u) << "written on exit";
        // Copied from the installed data: the program found them there.
        for (const char* stc : {"STCUSA.TBL", "STCUK.TBL", "STCSP.TBL"}) {
            EXPECT_EQ(readFile(user / stc), readFile(top / "share/morvaw" / stc)) << stc;
            EXPECT_EQ(fs::file_size(user / stc), 160u * 9u) << stc;
        }
    } else {
        EXPECT_EQ(fs::file_size(config / "vornestw.INI"), 100u) << "written on exit";
        EXPECT_TRUE(fs::is_directory(config / "vornestw")) << "ready for comN links";
        // The icon, the utility's one data file, is found under share/ (its
        // path goes through Qt, so not where the prefix's name is not UTF-8).
        const auto folders = vornestw::ProgramFolders::Locate(top / "bin", config);
        if (top == prefix()) {
            EXPECT_TRUE(fs::is_regular_file(asPath(folders.data) / "lcdicon.ico"))
                << folders.data.toStdString();
        }
    }
    EXPECT_FALSE(fs::exists(asPath(home.path()) / ".INI")) << "no settings beside the home";
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, InstalledStart,
                         ::testing::Values(Start{"morvaw", "prefix", true},
                                           Start{"morvaw", "odd", false},
                                           Start{"vornestw", "prefix", false},
                                           Start{"vornestw", "odd", true}),
                         [](const auto& info) {
                             return std::string(info.param.program) + "_" + info.param.prefix +
                                    (info.param.xdgConfigHome ? "_xdg" : "_home");
                         });

} // namespace
