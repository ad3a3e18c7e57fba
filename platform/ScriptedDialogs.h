#pragma once

#include "platform/DialogProvider.h"

#include <QStringList>

#include <deque>
#include <vector>

// Dialogs answered from a script, for tests: every text shown is recorded, and each question
// takes the next scripted answer. A question with no answer left is answered No / Cancel /
// empty and counted in `unanswered`, so a test can tell that something asked unexpectedly.
class ScriptedDialogs : public DialogProvider {
public:
    struct Shown {
        MessageKind kind;
        QString text;
    };

    void answer(DialogAnswer answer) { answers_.push_back(answer); }
    void answerText(const QString& text) { texts_.push_back(text); }
    void answerFile(const QString& path) { files_.push_back(path); }
    void answerColor(uint32_t color) { colors_.push_back(color); }

    void message(MessageKind kind, const QString& text) override;
    DialogAnswer confirm(const QString& text, bool withCancel, bool okCancel) override;
    bool inputText(const QString& caption, const QString& prompt, QString& value) override;
    QString openFileName(const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString folderName(const QString& caption, const QString& folder) override;
    // Recorded among the questions as "Color".
    bool chooseColor(uint32_t initial, uint32_t& chosen) override;

    // Messages shown (information, warning, error) in order.
    std::vector<Shown> messages;
    // Questions asked (confirmations and prompts) in order.
    QStringList questions;
    int unanswered = 0;

    void clear();

private:
    QString nextFile(const QString& caption);

    std::deque<DialogAnswer> answers_;
    std::deque<QString> texts_;
    std::deque<QString> files_;
    std::deque<uint32_t> colors_;
};
