#pragma once

#include <QWidget>

#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

// The translation editor: the texts of a language in a grid of three columns (key, English
// text, translation), keys added and the file saved through the dictionary's editing
// operations. Created on first use by the main window's "Translation Editor" command.
class TfTranslationEditor : public QWidget {
    Q_OBJECT
public:
    explicit TfTranslationEditor(QWidget* parent = nullptr);

    QWidget* PanelTop = nullptr;
    QLabel* LabelLanguage = nullptr;
    QComboBox* cbLanguage = nullptr;
    QPushButton* btReload = nullptr;
    QPushButton* btSave = nullptr;
    QWidget* PanelGrid = nullptr;
    QTableWidget* sgTranslations = nullptr;
    QWidget* PanelBottom = nullptr;
    QLineEdit* edNewKey = nullptr;
    QPushButton* btAddKey = nullptr;
    QLabel* LabelStatus = nullptr;

    bool UnsavedChanges = false;
    // The language whose texts the grid holds: a save stores them under it, never under the
    // selector's newer choice.
    std::string GridLanguage;

    void FormShow();
    void cbLanguageChange();
    void btReloadClick();
    void btSaveClick();
    void btAddKeyClick();
    void sgTranslationsSetEditText(int row, int column);
    void FillLanguageList();
    void FillGrid();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Returns true when the edits reached the file.
    bool SaveGrid();
    void SelectLanguage(const std::string& code);
    QString Cell(int row, int column) const;

    bool filling_ = false;
    // Rows whose translation was edited, and keys added: only those are stored.
    std::vector<int> editedRows_;
};

extern TfTranslationEditor* fTranslationEditor;
