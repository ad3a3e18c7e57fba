#include "platform/ScriptedDialogs.h"

void ScriptedDialogs::message(MessageKind kind, const QString& text) {
    messages.push_back(Shown{kind, text});
}

DialogAnswer ScriptedDialogs::confirm(const QString& text, bool withCancel, bool okCancel) {
    questions << text;
    if (answers_.empty()) {
        ++unanswered;
        return (withCancel || okCancel) ? DialogAnswer::Cancel : DialogAnswer::No;
    }
    const DialogAnswer a = answers_.front();
    answers_.pop_front();
    return a;
}

bool ScriptedDialogs::inputText(const QString& caption, const QString& prompt, QString& value) {
    questions << (caption + QStringLiteral(": ") + prompt);
    if (texts_.empty()) {
        ++unanswered;
        return false;
    }
    value = texts_.front();
    texts_.pop_front();
    return true;
}

QString ScriptedDialogs::nextFile(const QString& caption) {
    questions << caption;
    if (files_.empty()) {
        ++unanswered;
        return {};
    }
    QString path = files_.front();
    files_.pop_front();
    return path;
}

QString ScriptedDialogs::openFileName(const QString& caption, const QString&, const QString&) {
    return nextFile(caption);
}

QString ScriptedDialogs::saveFileName(const QString& caption, const QString&, const QString&) {
    return nextFile(caption);
}

QString ScriptedDialogs::folderName(const QString& caption, const QString&) {
    return nextFile(caption);
}

bool ScriptedDialogs::chooseColor(uint32_t, uint32_t& chosen) {
    questions << QStringLiteral("Color");
    if (colors_.empty()) {
        ++unanswered;
        return false;
    }
    chosen = colors_.front();
    colors_.pop_front();
    return true;
}

void ScriptedDialogs::clear() {
    messages.clear();
    questions.clear();
    unanswered = 0;
    answers_.clear();
    texts_.clear();
    files_.clear();
    colors_.clear();
}
