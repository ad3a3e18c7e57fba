#include "app/translation/TfTranslationEditor.h"

#include "language/TTavrinTranslation.h"
#include "platform/Dialogs.h"
#include "platform/ErrorBoundary.h"
#include "platform/FormState.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <map>

TfTranslationEditor* fTranslationEditor = nullptr;

namespace {

QString Tr(const char* key) {
    return Translator ? QString::fromStdString(Translator->TranslateText(key)) : QString::fromLatin1(key);
}

QTableWidgetItem* Item(const QString& text, bool editable) {
    auto* item = new QTableWidgetItem(text);
    if (!editable)
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

QString TrimmedKey(const QString& text) {
    qsizetype first = 0, last = text.size();
    const auto blankOrControl = [](QChar c) { return c.isSpace() || c.category() == QChar::Other_Control; };
    while (first < last && blankOrControl(text[first]))
        ++first;
    while (last > first && blankOrControl(text[last - 1]))
        --last;
    return text.mid(first, last - first);
}

} // namespace

TfTranslationEditor::TfTranslationEditor(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("fTranslationEditor"));
    setWindowTitle(QStringLiteral("Translation Editor"));
    resize(750, 450);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    PanelTop = new QWidget(this);
    PanelTop->setObjectName(QStringLiteral("PanelTop"));
    PanelTop->setProperty("designClass", QStringLiteral("TPanel"));
    PanelTop->setFixedHeight(41);
    auto* top = new QHBoxLayout(PanelTop);
    LabelLanguage = new QLabel(QStringLiteral("Edit Language:"), PanelTop);
    LabelLanguage->setObjectName(QStringLiteral("LabelLanguage"));
    cbLanguage = new QComboBox(PanelTop);
    cbLanguage->setObjectName(QStringLiteral("cbLanguage"));
    cbLanguage->setFixedWidth(80);
    btReload = new QPushButton(QStringLiteral("Reload"), PanelTop);
    btReload->setObjectName(QStringLiteral("btReload"));
    btSave = new QPushButton(QStringLiteral("Save Changes"), PanelTop);
    btSave->setObjectName(QStringLiteral("btSave"));
    top->addWidget(LabelLanguage);
    top->addWidget(cbLanguage);
    top->addWidget(btReload);
    top->addWidget(btSave);
    top->addStretch();
    layout->addWidget(PanelTop);

    PanelGrid = new QWidget(this);
    PanelGrid->setObjectName(QStringLiteral("PanelGrid"));
    auto* grid = new QVBoxLayout(PanelGrid);
    grid->setContentsMargins(0, 0, 0, 0);
    sgTranslations = new QTableWidget(PanelGrid);
    sgTranslations->setObjectName(QStringLiteral("sgTranslations"));
    sgTranslations->setEditTriggers(QAbstractItemView::AllEditTriggers);
    sgTranslations->horizontalHeader()->hide();
    sgTranslations->verticalHeader()->hide();
    sgTranslations->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->addWidget(sgTranslations);
    layout->addWidget(PanelGrid, 1);

    PanelBottom = new QWidget(this);
    PanelBottom->setObjectName(QStringLiteral("PanelBottom"));
    PanelBottom->setProperty("designClass", QStringLiteral("TPanel"));
    PanelBottom->setFixedHeight(41);
    auto* bottom = new QHBoxLayout(PanelBottom);
    edNewKey = new QLineEdit(PanelBottom);
    edNewKey->setObjectName(QStringLiteral("edNewKey"));
    edNewKey->setFixedWidth(178);
    btAddKey = new QPushButton(QStringLiteral("Add Key"), PanelBottom);
    btAddKey->setObjectName(QStringLiteral("btAddKey"));
    LabelStatus = new QLabel(PanelBottom);
    LabelStatus->setObjectName(QStringLiteral("LabelStatus"));
    bottom->addWidget(edNewKey);
    bottom->addWidget(btAddKey);
    bottom->addWidget(LabelStatus, 1);
    layout->addWidget(PanelBottom);

    connect(cbLanguage, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_)
            ErrorBoundary::run([this] { cbLanguageChange(); });
    });
    connect(btReload, &QPushButton::clicked, this, [this] { ErrorBoundary::run([this] { btReloadClick(); }); });
    connect(btSave, &QPushButton::clicked, this, [this] { ErrorBoundary::run([this] { btSaveClick(); }); });
    connect(btAddKey, &QPushButton::clicked, this, [this] { ErrorBoundary::run([this] { btAddKeyClick(); }); });
    connect(sgTranslations, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!filling_)
            sgTranslationsSetEditText(item->row(), item->column());
    });

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        PlaceCentredOn(this, screen->availableGeometry().center());
}

void TfTranslationEditor::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // An un-minimise is a spontaneous show: refilling then would drop the operator's edits.
    if (!event->spontaneous())
        ErrorBoundary::run([this] { FormShow(); });
}

void TfTranslationEditor::closeEvent(QCloseEvent* event) {
    if (UnsavedChanges) {
        const DialogAnswer answer = Dialogs::confirmYesNoCancel(QStringLiteral("Do you want to save changes?"));
        if (answer == DialogAnswer::Cancel || (answer == DialogAnswer::Yes && !SaveGrid())) {
            event->ignore();
            return;
        }
        UnsavedChanges = false;
    }
    event->accept();
}

void TfTranslationEditor::FormShow() {
    if (Translator) {
        setWindowTitle(Tr("Translation Editor"));
        LabelLanguage->setText(Tr("Edit Language:"));
        btReload->setText(Tr("Reload"));
        btSave->setText(Tr("Save Changes"));
        btAddKey->setText(Tr("Add Key"));
    }
    FillLanguageList();
    FillGrid();
    UnsavedChanges = false;
    LabelStatus->clear();
}

void TfTranslationEditor::SelectLanguage(const std::string& code) {
    const QSignalBlocker quiet(cbLanguage);
    int index = cbLanguage->findText(QString::fromStdString(code), Qt::MatchFixedString);
    if (index < 0 && cbLanguage->count() > 0)
        index = 0;
    cbLanguage->setCurrentIndex(index);
}

void TfTranslationEditor::FillLanguageList() {
    if (!Translator)
        return;
    const QSignalBlocker quiet(cbLanguage);
    cbLanguage->clear();
    for (const std::string& code : Translator->Languages)
        cbLanguage->addItem(QString::fromStdString(code));
    SelectLanguage(Translator->CurrentLanguage);
}

void TfTranslationEditor::FillGrid() {
    if (!Translator)
        return;
    filling_ = true;
    const std::vector<std::string> keys = Translator->GetKeys();
    const std::string language = cbLanguage->currentText().toStdString();
    GridLanguage = language;
    editedRows_.clear();
    // Another language's file is read once per fill, not once per row.
    std::map<std::string, std::string> other;
    const bool otherLanguage = language != "en" && language != Translator->CurrentLanguage;
    if (otherLanguage)
        Translator->LoadLanguage(language, other);

    sgTranslations->clear();
    sgTranslations->setColumnCount(3);
    sgTranslations->setRowCount(std::max<int>(2, int(keys.size()) + 1));
    sgTranslations->setItem(0, 0, Item(QStringLiteral("Key"), false));
    sgTranslations->setItem(0, 1, Item(QStringLiteral("English"), false));
    sgTranslations->setItem(0, 2, Item(QString::fromStdString(language), false));
    sgTranslations->setColumnWidth(0, 200);
    sgTranslations->setColumnWidth(1, 250);
    sgTranslations->setColumnWidth(2, 250);
    for (size_t i = 0; i < keys.size(); ++i) {
        const std::string& key = keys[i];
        std::string text;
        if (otherLanguage) {
            const auto found = other.find(key);
            text = found != other.end() ? found->second : key;
        } else {
            text = Translator->GetTranslation(language, key);
        }
        const int row = int(i) + 1;
        sgTranslations->setItem(row, 0, Item(QString::fromStdString(key), false));
        sgTranslations->setItem(row, 1, Item(QString::fromStdString(Translator->GetTranslation("en", key)), true));
        sgTranslations->setItem(row, 2, Item(QString::fromStdString(text), true));
    }
    filling_ = false;
}

QString TfTranslationEditor::Cell(int row, int column) const {
    const QTableWidgetItem* item = sgTranslations->item(row, column);
    return item ? item->text() : QString();
}

void TfTranslationEditor::sgTranslationsSetEditText(int row, int column) {
    if (row <= 0 || column <= 0)
        return;
    UnsavedChanges = true;
    LabelStatus->setText(QStringLiteral("Modified"));
    if (column == 2 && std::find(editedRows_.begin(), editedRows_.end(), row) == editedRows_.end())
        editedRows_.push_back(row);
}

void TfTranslationEditor::cbLanguageChange() {
    if (UnsavedChanges) {
        const DialogAnswer answer = Dialogs::confirmYesNoCancel(QStringLiteral("Do you want to save changes?"));
        // The grid still holds the language being left: a cancelled change, or one whose save
        // failed, puts the selector back on it.
        if (answer == DialogAnswer::Cancel || (answer == DialogAnswer::Yes && !SaveGrid())) {
            SelectLanguage(GridLanguage);
            return;
        }
    }
    FillGrid();
    UnsavedChanges = false;
    LabelStatus->clear();
}

void TfTranslationEditor::btReloadClick() {
    if (!Translator)
        return;
    Translator->RefreshLanguages();
    FillLanguageList();
    FillGrid();
    UnsavedChanges = false;
    LabelStatus->setText(QStringLiteral("Reloaded"));
}

void TfTranslationEditor::btSaveClick() {
    SaveGrid();
}

bool TfTranslationEditor::SaveGrid() {
    if (!Translator)
        return false;
    // A cell still open in its editor holds the operator's last typing.
    if (QWidget* editor = QApplication::focusWidget(); editor && sgTranslations->isAncestorOf(editor)) {
        QMetaObject::invokeMethod(sgTranslations, "commitData", Q_ARG(QWidget*, editor));
        QMetaObject::invokeMethod(sgTranslations, "closeEditor", Q_ARG(QWidget*, editor),
                                  Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
    }
    const std::string& language = GridLanguage;
    if (language == "en" || language != Translator->CurrentLanguage) {
        LabelStatus->setText(QString::fromStdString(
            "Not saved: only the interface language (" + Translator->CurrentLanguage + ") can be saved"));
        return false;
    }
    // Only what the operator edited or added: an untranslated key shows its key, which must
    // not become its own translation.
    for (const int row : editedRows_) {
        const std::string key = Cell(row, 0).toStdString();
        if (!key.empty())
            Translator->SetTranslation(language, key, Cell(row, 2).toStdString());
    }
    std::string reason;
    if (!Translator->SaveLanguage(language, &reason)) {
        LabelStatus->setText(QString::fromStdString("Not saved: " + reason));
        return false;
    }
    editedRows_.clear();
    UnsavedChanges = false;
    LabelStatus->setText(QStringLiteral("Saved!"));
    return true;
}

void TfTranslationEditor::btAddKeyClick() {
    const QString key = TrimmedKey(edNewKey->text());
    if (key.isEmpty())
        return;
    for (int row = 1; row < sgTranslations->rowCount(); ++row) {
        if (Cell(row, 0) == key) {
            LabelStatus->setText(QStringLiteral("Key already exists"));
            return;
        }
    }
    filling_ = true;
    const int row = sgTranslations->rowCount();
    sgTranslations->setRowCount(row + 1);
    sgTranslations->setItem(row, 0, Item(key, false));
    sgTranslations->setItem(row, 1, Item(key, true));
    sgTranslations->setItem(row, 2, Item(QString(), true));
    filling_ = false;
    editedRows_.push_back(row);
    edNewKey->clear();
    UnsavedChanges = true;
    LabelStatus->setText(QStringLiteral("Key added - don't forget to save"));
}
