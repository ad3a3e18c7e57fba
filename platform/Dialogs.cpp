#include "platform/Dialogs.h"

#include "platform/ColorValue.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {

class QtDialogs : public DialogProvider {
public:
    void message(MessageKind kind, const QString& text) override {
        QWidget* parent = QApplication::activeWindow();
        const QString title = QApplication::applicationDisplayName();
        switch (kind) {
        case MessageKind::Information:
            QMessageBox::information(parent, title, text);
            break;
        case MessageKind::Warning:
            QMessageBox::warning(parent, title, text);
            break;
        case MessageKind::Error:
            QMessageBox::critical(parent, title, text);
            break;
        }
    }

    DialogAnswer confirm(const QString& text, bool withCancel, bool okCancel) override {
        QMessageBox::StandardButtons buttons = okCancel ? (QMessageBox::Ok | QMessageBox::Cancel)
                                                        : (QMessageBox::Yes | QMessageBox::No);
        if (withCancel)
            buttons |= QMessageBox::Cancel;
        const auto answer = QMessageBox::warning(
            QApplication::activeWindow(), QApplication::applicationDisplayName(), text, buttons);
        switch (answer) {
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
        bool ok = false;
        const QString text = QInputDialog::getText(QApplication::activeWindow(), caption, prompt,
                                                   QLineEdit::Normal, value, &ok);
        if (ok)
            value = text;
        return ok;
    }

    QString openFileName(const QString& caption, const QString& folder,
                         const QString& filter) override {
        return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, folder, filter);
    }

    QString saveFileName(const QString& caption, const QString& folder,
                         const QString& filter) override {
        return QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, folder, filter);
    }

    QString folderName(const QString& caption, const QString& folder) override {
        return QFileDialog::getExistingDirectory(QApplication::activeWindow(), caption, folder);
    }

    bool chooseColor(uint32_t initial, uint32_t& chosen) override {
        const QColor picked =
            QColorDialog::getColor(ColorFromBgr(initial), QApplication::activeWindow());
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
