#include "platform/Dialogs.h"

#include "platform/ColorValue.h"
#include "platform/FormState.h"
#include "platform/WindowStacking.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>

#include <algorithm>

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

std::function<QRect()> fileDialogsKeepClearOf;

// Centres the dialog on its owner as Qt would, but ending above the area to keep clear (its
// height cut, down to its smallest, when there is not room enough above it) when centred it
// would cover it.
void PlaceClearOfKeptArea(QDialog* dialog, const QWidget* owner) {
    const QRect kept = fileDialogsKeepClearOf ? fileDialogsKeepClearOf() : QRect();
    if (kept.isEmpty())
        return;
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // The size the dialog would open with.
    if (!dialog->testAttribute(Qt::WA_Resized))
        dialog->adjustSize();
    QRect frame = FrameAt(dialog, QPoint(0, 0));
    frame.moveCenter(owner ? owner->window()->frameGeometry().center() : area.center());
    if (!frame.intersects(kept))
        return;
    // A few pixels between the dialog's frame and the area, so that they do not touch.
    constexpr int gap = 4;
    const int room = kept.top() - gap - area.top();
    const int frameExtra = frame.height() - dialog->height();
    if (frame.height() > room) {
        dialog->resize(dialog->width(),
                       std::max(dialog->minimumSizeHint().height(), room - frameExtra));
        frame.setHeight(dialog->height() + frameExtra);
    }
    frame.moveBottom(kept.top() - gap - 1);
    PlaceCentredOn(dialog, frame.center());
}

QString ChosenFile(QFileDialog::AcceptMode accept, QFileDialog::FileMode mode,
                   const QString& caption, const QString& folder, const QString& filter) {
    QWidget* owner = Owner();
    QFileDialog dialog(owner, caption, folder, filter);
    dialog.setAcceptMode(accept);
    dialog.setFileMode(mode);
    if (mode == QFileDialog::Directory)
        dialog.setOption(QFileDialog::ShowDirsOnly);
    PlaceClearOfKeptArea(&dialog, owner);
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

void Dialogs::keepFileDialogsClearOf(std::function<QRect()> area) {
    fileDialogsKeepClearOf = std::move(area);
}

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
