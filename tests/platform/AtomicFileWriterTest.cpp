#include "platform/AtomicFileWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

std::string Content(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<missing>";
}

TEST(AtomicFileWriter, TheTargetChangesOnlyAtCommitAndKeepsItsPermissions) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("map.wjt").toStdString();
    {
        AtomicFileWriter first(path);
        ASSERT_TRUE(first.Open());
        ASSERT_TRUE(first.Write("old"));
        ASSERT_TRUE(first.Commit());
    }
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);

    AtomicFileWriter writer(path);
    ASSERT_TRUE(writer.Open());
    ASSERT_TRUE(writer.Write("new "));
    ASSERT_TRUE(writer.Write("content"));
    EXPECT_EQ(Content(QString::fromStdString(path)), "old");
    ASSERT_TRUE(writer.Commit());
    EXPECT_EQ(Content(QString::fromStdString(path)), "new content");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"map.wjt"});
}

TEST(AtomicFileWriter, AnAbandonedWriteLeavesTheOldFileAndNoTemporaryFile) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("map.wjt").toStdString();
    {
        AtomicFileWriter first(path);
        ASSERT_TRUE(first.Open() && first.Write("old") && first.Commit());
    }
    std::string temporary;
    {
        AtomicFileWriter abandoned(path);
        ASSERT_TRUE(abandoned.Open());
        ASSERT_TRUE(abandoned.Write("half a file"));
        temporary = abandoned.TemporaryPath();
        EXPECT_TRUE(QFile::exists(QString::fromStdString(temporary)));
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(temporary)));
    EXPECT_EQ(Content(QString::fromStdString(path)), "old");

    AtomicFileWriter nowhere(dir.filePath("no folder/map.wjt").toStdString());
    EXPECT_FALSE(nowhere.Open());
    EXPECT_FALSE(nowhere.Error().empty());
    EXPECT_FALSE(nowhere.Write("x"));
    EXPECT_FALSE(nowhere.Commit());
}

} // namespace
