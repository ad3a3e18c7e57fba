#include "app/TfSVP.h"

#include "platform/FileIO.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QPlainTextEdit>

TfSVP* fSVP = nullptr;

namespace {

QPlainTextEdit* makeList(QWidget* parent, const char* name) {
    auto* list = new QPlainTextEdit(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    return list;
}

} // namespace

TfSVP::TfSVP(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("fSVP"));
    setWindowTitle(QStringLiteral("Sound Velocity"));
    resize(703, 369);

    auto* layout = new QGridLayout(this);
    mRawSVData = makeList(this, "mRawSVData");
    mRawSVData->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mRawSVExtracted = makeList(this, "mRawSVExtracted");
    mSortedAveragedSV = makeList(this, "mSortedAveragedSV");
    mSVPColumn = makeList(this, "mSVPColumn");
    layout->addWidget(mRawSVData, 0, 0);
    layout->addWidget(mRawSVExtracted, 0, 1);
    layout->addWidget(mSortedAveragedSV, 0, 2);
    layout->addWidget(mSVPColumn, 0, 3);
    cUseSVP = new QCheckBox(QStringLiteral("Use Sound Velocity Profile"), this);
    cUseSVP->setObjectName(QStringLiteral("cUseSVP"));
    layout->addWidget(cUseSVP, 1, 0, 1, 4);
}

bool TfSVP::SaveWorkingLists(const std::string& prefix, std::string* error) const {
    const struct {
        const QPlainTextEdit* list;
        const char* name;
    } lists[] = {{mRawSVData, " mRawSVData.ini"},
                 {mRawSVExtracted, " mRawSVExtracted.ini"},
                 {mSortedAveragedSV, " mSortedAveragedSV.ini"},
                 {mSVPColumn, " mSVPColumn.ini"}};
    for (const auto& entry : lists) {
        std::string text = entry.list->toPlainText().toStdString();
        if (!text.empty() && text.back() != '\n')
            text += '\n';
        if (!WriteFileAtomically(prefix + entry.name, text, error))
            return false;
    }
    return true;
}
