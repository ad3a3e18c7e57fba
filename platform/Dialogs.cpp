#include "platform/Dialogs.h"

#include "platform/ColorValue.h"
#include "platform/WindowStacking.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {

// Every dialog is made here and run through WindowStacking, so that it opens in front of every
// window of the program, the ones that stay on top included, and answers at once.
QWidget* Owner() {
    return WindowStacking::topmostWindow();
}

QMessageBox::StandardButton Ask(QMessageBox::Icon icon, const QString& text,
                                QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, QApplication::applicationDisplayName(), text, buttons, Owner());
    if (WindowStacking::execModal(&box) == -1)
        return QMessageBox::Cancel;
    return box.standardButton(box.clickedButton());
}

QString ChosenFile(QFileDialog::AcceptMode accept, QFileDialog::FileMode mode,
                   const QString& caption, const QString& folder, const QString& filter) {
    QFileDialog dialog(Owner(), caption, folder, filter);
    dialog.setAcceptMode(accept);
    dialog.setFileMode(mode);
    if (mode == QFileDialog::Directory)
        dialog.setOption(QFileDialog::ShowDirsOnly);
    if (WindowStacking::execModal(&dialog) != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

class QtDialogs : public DialogProvider {
public:
    void message(MessageKind kind, const QString& text) override {
        switch (kind) {
        case MessageKind::Information:
            Ask(QMessageBox::Information, text, QMessageBox::Ok);
            break;
        case MessageKind::Warning:
            Ask(QMessageBox::Warning, text, QMessageBox::Ok);
            break;
        case MessageKind::Error:
            Ask(QMessageBox::Critical, text, QMessageBox::Ok);
            break;
        }
    }

    DialogAnswer confirm(const QString& text, bool withCancel, bool okCancel) override {
        QMessageBox::StandardButtons buttons = okCancel ? (QMessageBox::Ok | QMessageBox::Cancel)
                                                        : (QMessageBox::Yes | QMessageBox::No);
        if (withCancel)
            buttons |= QMessageBox::Cancel;
        switch (Ask(QMessageBox::Warning, text, buttons)) {
        case QMessageBox::Yes:
            return DialogAnswer::Yes;
        case QMessageBox::Ok:
            return DialogAnswer::Ok;
        case QMessageBox::No:
            return DialogAnswer::No;
        default:
            return DialogAnswer::Cancel;
        }
    }

    bool inputText(const QString& caption, const QString& prompt, QString& value) override {
        QInputDialog dialog(Owner());
        dialog.setWindowTitle(caption);
        dialog.setLabelText(prompt);
        dialog.setTextEchoMode(QLineEdit::Normal);
        dialog.setTextValue(value);
        if (WindowStacking::execModal(&dialog) != QDialog::Accepted)
            return false;
        value = dialog.textValue();
        return true;
    }

    QString openFileName(const QString& caption, const QString& folder,
                         const QString& filter) override {
        return ChosenFile(QFileDialog::AcceptOpen, QFileDialog::ExistingFile, caption, folder,
                          filter);
    }

    QString saveFileName(const QString& caption, const QString& folder,
                         const QString& filter) override {
        return ChosenFile(QFileDialog::AcceptSave, QFileDialog::AnyFile, caption, folder, filter);
    }

    QString folderName(const QString& caption, const QString& folder) override {
        return ChosenFile(QFileDialog::AcceptOpen, QFileDialog::Directory, caption, folder,
                          QString());
    }

    bool chooseColor(uint32_t initial, uint32_t& chosen) override {
        QColorDialog dialog(ColorFromBgr(initial), Owner());
        if (WindowStacking::execModal(&dialog) != QDialog::Accepted)
            return false;
        const QColor picked = dialog.selectedColor();
        if (!picked.isValid())
            return false;
        chosen = BgrFromColor(picked);
        return true;
    }
};

QtDialogs qtDialogs;
DialogProvider* current = &qtDialogs;

} // namespace

void Dialogs::install(DialogProvider* provider) {
    current = provider ? provider : &qtDialogs;
}

DialogProvider& Dialogs::provider() {
    return *current;
}

void Dialogs::showMessage(const QString& text) {
    current->message(MessageKind::Information, text);
}

void Dialogs::showWarning(const QString& text) {
    current->message(MessageKind::Warning, text);
}

void Dialogs::showError(const QString& text) {
    current->message(MessageKind::Error, text);
}

bool Dialogs::confirmYesNo(const QString& text) {
    return current->confirm(text, false, false) == DialogAnswer::Yes;
}

DialogAnswer Dialogs::confirmYesNoCancel(const QString& text) {
    return current->confirm(text, true, false);
}

bool Dialogs::confirmOkCancel(const QString& text) {
    return current->confirm(text, false, true) == DialogAnswer::Ok;
}

bool Dialogs::inputText(const QString& caption, const QString& prompt, QString& value) {
    return current->inputText(caption, prompt, value);
}

QString Dialogs::openFileName(const QString& caption, const QString& folder,
                              const QString& filter) {
    return current->openFileName(caption, folder, filter);
}

QString Dialogs::saveFileName(const QString& caption, const QString& folder,
                              const QString& filter) {
    return current->saveFileName(caption, folder, filter);
}

QString Dialogs::folderName(const QString& caption, const QString& folder) {
    return current->folderName(caption, folder);
}

bool Dialogs::chooseColor(uint32_t initial, uint32_t& chosen) {
    return current->chooseColor(initial, chosen);
}
