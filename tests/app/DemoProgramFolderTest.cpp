// The folder `make demo` starts the program from, laid out by the script the demo runs.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(DemoProgramFolder, TheDemoProgramFolderHoldsTheShippedLanguageFiles) {
    QTemporaryDir demo;
    ASSERT_TRUE(demo.isValid());
    const QString folder = demo.filePath(QStringLiteral("program"));
    QProcess script;
    script.start(QStringLiteral("bash"),
                 {QStringLiteral(TESTS_DIR "/../tools/demo_program_folder.sh"),
                  QStringLiteral(PROGRAM_DIR), folder});
    ASSERT_TRUE(script.waitForFinished(60000));
    ASSERT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();

    const QFileInfo program(folder + QStringLiteral("/TavrinSD"));
    EXPECT_TRUE(program.isFile() && program.isExecutable());
    const QStringList shipped = QDir(QStringLiteral(SHIPPED_LANGUAGES_DIR))
                                    .entryList({QStringLiteral("*.json")}, QDir::Files);
    ASSERT_TRUE(shipped.contains(QStringLiteral("tr.json")));
    for (const QString& name : shipped) {
        SCOPED_TRACE(name.toStdString());
        const QString copy = folder + QStringLiteral("/Languages/") + name;
        ASSERT_TRUE(QFileInfo(copy).isFile());
        EXPECT_EQ(FileBytes(copy), FileBytes(QStringLiteral(SHIPPED_LANGUAGES_DIR "/") + name));
        // A copy of its own: what the program writes there stays in the demo's folder.
        EXPECT_EQ(QFileInfo(copy).canonicalFilePath(), QFileInfo(copy).absoluteFilePath());
    }
}

TEST(DemoProgramFolder, ABuildWithoutLanguageFilesIsRefused) {
    QTemporaryDir demo;
    ASSERT_TRUE(demo.isValid());
    const QString built = demo.filePath(QStringLiteral("built"));
    ASSERT_TRUE(QDir().mkpath(built));
    QFile program(built + QStringLiteral("/TavrinSD"));
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.close();
    QProcess script;
    script.start(QStringLiteral("bash"),
                 {QStringLiteral(TESTS_DIR "/../tools/demo_program_folder.sh"), built,
                  demo.filePath(QStringLiteral("program"))});
    ASSERT_TRUE(script.waitForFinished(60000));
    EXPECT_NE(script.exitCode(), 0);
    EXPECT_TRUE(script.readAllStandardError().contains("no language files"));
}
