#include "tools/ScreenshotSoundVelocity.h"

#include "app/sound_velocity/TfSVP.h"
#include "app/sound_velocity/TfSVPGraph.h"
#include "tools/ScreenshotArea.h"

#include "platform/Dialogs.h"
#include "platform/ScriptedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>

#include <algorithm>

namespace {

// Builds the column as the operator would: open the cast, extract (skipping the readings in
// air when asked), average, build. The questions are answered from a script.
void BuildDemoColumn() {
    ScriptedDialogs answers;
    answers.answerFile(QStringLiteral(SVP_DEMO_CAST));
    answers.answer(DialogAnswer::Ok);
    Dialogs::install(&answers);
    fSVP->BitBtn1Click();
    fSVP->bRawToSVVClick();
    fSVP->bSVVtoAveragedSVClick();
    fSVP->bAveragedSVtoSVPClick();
    fSVP->cUseSVP->setChecked(true);
    Dialogs::install(nullptr);
}

// A lasso drawn with the mouse around the points from `top` to `bottom` metres: down their
// upper side and back along their lower side, 14 pixels off the curve. The press is made where no
// point lies under it, or it would start a drag.
void LassoDepths(int top, int bottom) {
    const ProfileGraphModel& m = fSVPGraph->Model;
    std::vector<std::pair<int, int>> outline, below;
    for (const TSVPPoint& p : m.Points)
        if (p.Depth >= top && p.Depth <= bottom) {
            outline.push_back({m.SVToX(p.SV), m.DepthToY(p.Depth) - 14});
            below.push_back({m.SVToX(p.SV), m.DepthToY(p.Depth) + 14});
        }
    outline.insert(outline.end(), below.rbegin(), below.rend());
    const auto free = std::find_if(outline.begin(), outline.end(), [&](const auto& at) {
        return m.FindPointAt(at.first, at.second) < 0;
    });
    if (free == outline.end())
        return;
    std::rotate(outline.begin(), free, outline.end());
    const auto [x, y] = outline.front();
    fSVPGraph->PaintBox1MouseDown(Qt::LeftButton, x, y);
    for (const auto& at : outline)
        fSVPGraph->PaintBox1MouseMove(at.first, at.second);
    fSVPGraph->PaintBox1MouseMove(x, y);
    fSVPGraph->PaintBox1MouseUp(Qt::LeftButton, x, y);
}

} // namespace

bool SaveSoundVelocityScreenshots(const QString& folder) {
    if (!fSVP || !fSVPGraph)
        return false;
    fSVP->show();
    BuildDemoColumn();
    QApplication::processEvents();
    bool saved = SaveWindowPicture(fSVP, folder + QStringLiteral("/fSVP.png"));

    fSVPGraph->LoadPoints(TfSVP::ListLines(fSVP->mSortedAveragedSV));
    fSVPGraph->show();
    QApplication::processEvents();
    LassoDepths(24, 36);
    QApplication::processEvents();
    saved = SaveWindowPicture(fSVPGraph, folder + QStringLiteral("/fSVPGraph.png")) && saved;
    fSVPGraph->hide();
    fSVP->hide();
    return saved;
}
