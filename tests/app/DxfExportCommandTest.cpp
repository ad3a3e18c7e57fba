#include "StartedProgram.h"

#include "canvas/TTavrinCanvas.h"

#include <QAction>
#include <QTemporaryDir>

namespace {

using DxfExportCommand = StartedProgram;

TEST_F(DxfExportCommand, ExportWritesTheMapToTheChosenFile) {
    start();
    QTemporaryDir dir;
    const QString path = dir.path() + "/map.dxf";
    FNav->fcad->DrawLine(0, 0, 10, 10, FNav->fcad->LayerOpen("quay"));
    TestEnvironment::dialogs().answerFile(path);
    FNav->Export1->trigger();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("0\r\nSECTION\r\n2\r\nHEADER\r\n"));
    EXPECT_TRUE(bytes.contains("0\r\nLINE\r\n8\r\nquay\r\n"));
    EXPECT_TRUE(bytes.endsWith("0\r\nEOF\r\n"));
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
}

TEST_F(DxfExportCommand, AFailedExportSaysWhy) {
    start();
    QTemporaryDir dir;
    TestEnvironment::dialogs().answerFile(dir.path() + "/no such folder/map.dxf");
    FNav->Export1->trigger();
    ASSERT_EQ(TestEnvironment::dialogs().messages.size(), 1u);
    EXPECT_TRUE(TestEnvironment::dialogs().messages[0].text.startsWith("DXF export failed: "));
}

TEST_F(DxfExportCommand, ACancelledDialogWritesNothing) {
    start();
    FNav->Export1->trigger();
    EXPECT_TRUE(TestEnvironment::dialogs().messages.empty());
}

} // namespace
