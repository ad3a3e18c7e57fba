#include "app/TfSVPGraph.h"

TfSVPGraph* fSVPGraph = nullptr;

TfSVPGraph::TfSVPGraph(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("fSVPGraph"));
    setWindowTitle(QStringLiteral("SVP Profile Graph - Drag Points or Lasso Select"));
    resize(900, 550);
}
