#include "app/main_window/TformAbout.h"

#include "app/widgets/DesignedColours.h"

#include "platform/FormState.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TformAbout* formAbout = nullptr;

namespace {

QFrame* whitePanel(QWidget* parent, const QString& name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    SetDesignedBackground(panel, Qt::white);
    return panel;
}

QLabel* centredLabel(QWidget* parent, const QString& name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

TformAbout::TformAbout(const QWidget* owner, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), Owner(owner) {
    setObjectName(QStringLiteral("formAbout"));
    setWindowTitle(QStringLiteral("About Tavrin Sounding Desk"));
    setModal(true);
    setAutoFillBackground(true);
    SetDesignedBackground(this, Qt::white);

    Panel4 = whitePanel(this, QStringLiteral("Panel4"));
    SoftName =
        centredLabel(Panel4, QStringLiteral("SoftName"), QStringLiteral("Tavrin Iskandil Masasi"));
    QFont nameFont = SoftName->font();
    nameFont.setBold(true);
    nameFont.setPointSize(nameFont.pointSize() + 3);
    SoftName->setFont(nameFont);
    Version = centredLabel(Panel4, QStringLiteral("Version"), QStringLiteral("Version 6.8.1"));
    auto* top = new QVBoxLayout(Panel4);
    top->addWidget(SoftName);
    top->addWidget(Version);

    Panel3 = whitePanel(this, QStringLiteral("Panel3"));
    Label1 = centredLabel(Panel3, QStringLiteral("Label1"),
                          QStringLiteral("Single-beam hydrographic survey desk"));
    Label2 = centredLabel(Panel3, QStringLiteral("Label2"),
                          QStringLiteral("GNSS, echo sounder and RTK corrections"));
    auto* bottom = new QVBoxLayout(Panel3);
    bottom->addWidget(Label1);
    bottom->addWidget(Label2);

    BitBtn2 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setDefault(true);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Panel4);
    layout->addWidget(Panel3);
    layout->addWidget(BitBtn2);
    setFixedWidth(340);
    setFixedHeight(sizeHint().height());
}

void TformAbout::showEvent(QShowEvent* event) {
    if (Owner)
        PlaceCentredOn(this, Owner->frameGeometry().center());
    QDialog::showEvent(event);
}
