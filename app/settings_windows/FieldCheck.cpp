#include "app/settings_windows/FieldCheck.h"

#include "settings/SettingsValues.h"

#include "platform/Dialogs.h"

#include <QLineEdit>
#include <QPalette>
#include <QSignalBlocker>

namespace {
const char* const RefusedProperty = "refused";
const QColor RefusedBackground(255, 200, 200);
} // namespace

FieldCheck::FieldCheck(QLineEdit* edit, const ValueRule& rule)
    : QObject(edit), edit_(edit), rule_(rule), accepted_(edit->text()) {
    connect(edit, &QLineEdit::editingFinished, this, [this] { Finish(); });
}

void FieldCheck::Accepted() {
    accepted_ = edit_->text();
    pending_ = false;
    SetMarked(false);
}

void FieldCheck::Refused() {
    pending_ = true;
    SetMarked(!edit_->text().isEmpty());
}

bool FieldCheck::Finish() {
    if (!pending_)
        return false;
    const QString typed = edit_->text();
    pending_ = false;
    SetMarked(false);
    // Put the text back before telling: a modal message moves the focus, which ends the
    // editing a second time, and by then there is nothing left to take back. The accepted
    // value is the one in effect already, so no change handler needs to run for it.
    {
        const QSignalBlocker quiet(edit_);
        edit_->setText(accepted_);
    }
    Dialogs::showWarning(QString::fromStdString(
        RefusedTextMessage(rule_, typed.toStdString(), accepted_.toStdString())));
    return true;
}

bool FieldCheck::Marked() const {
    return edit_->property(RefusedProperty).toBool();
}

void FieldCheck::SetMarked(bool marked) {
    if (Marked() == marked)
        return;
    edit_->setProperty(RefusedProperty, marked);
    if (marked) {
        QPalette palette = edit_->palette();
        palette.setColor(QPalette::Base, RefusedBackground);
        edit_->setPalette(palette);
    } else {
        // Back to what the edit inherits from its window and style.
        edit_->setPalette(QPalette());
    }
}
