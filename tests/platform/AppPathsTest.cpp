#include "platform/AppPaths.h"
#include "tests/support/TestEnvironment.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

// Puts the program's own folder back to the process's after each case.
class AppPathsTest : public ::testing::Test {
protected:
    void TearDown() override {
        AppPaths::setApplicationFolder(TestEnvironment::home().toStdString());
    }
};

TEST_F(AppPathsTest, EveryFileBesideTheProgramFollowsItsFolder) {
    AppPaths::setApplicationFolder("/srv/survey/program");
    EXPECT_EQ(AppPaths::applicationFolder(), "/srv/survey/program/");
    EXPECT_EQ(AppPaths::settingsFile(), QStringLiteral("/srv/survey/program/TavrinSD.INI"));
    EXPECT_EQ(AppPaths::languagesFolder(), "/srv/survey/program/Languages/");
}

TEST_F(AppPathsTest, WithoutAFolderSetItIsTheExecutablesFolder) {
    AppPaths::setApplicationFolder("");
    EXPECT_EQ(AppPaths::applicationFolder(),
              QCoreApplication::applicationDirPath().toStdString() + "/");
    EXPECT_EQ(AppPaths::settingsFile(),
              QCoreApplication::applicationDirPath() + QStringLiteral("/TavrinSD.INI"));
}

// Test processes run in parallel from one executable folder: each keeps its own files apart.
TEST_F(AppPathsTest, ATestProcessKeepsTheProgramsFilesInItsOwnFolder) {
    EXPECT_EQ(AppPaths::applicationFolder(), TestEnvironment::home().toStdString() + "/");
    EXPECT_EQ(AppPaths::settingsFile(), TestEnvironment::settingsFile());
    EXPECT_NE(AppPaths::applicationFolder(),
              QCoreApplication::applicationDirPath().toStdString() + "/");
}

} // namespace
