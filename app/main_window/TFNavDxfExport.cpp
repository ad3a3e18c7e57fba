// The main window's DXF export command.
#include "app/main_window/TFNav.h"

#include "canvas/TTavrinCanvas.h"
#include "drawing_io/DXFSave.h"
#include "platform/Dialogs.h"

namespace {

const QString DxfExportFilter =
    QStringLiteral("AutoCAD R12 DXF [*.dxf] (*.dxf);;All Files [*.*] (*)");

} // namespace

void TFNav::Export1Click() {
    const QString fileName =
        Dialogs::saveFileName(QStringLiteral("Export"), QString(), DxfExportFilter);
    if (fileName.isEmpty() || !fcad)
        return;
    std::string error;
    if (!DXFSave(*fcad, fileName, &error))
        Dialogs::showError(QStringLiteral("DXF export failed: ") + QString::fromStdString(error));
}
