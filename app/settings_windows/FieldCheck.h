#pragma once

#include <QObject>
#include <QString>

class QLineEdit;
struct ValueRule;

// Keeps a settings edit honest. The window's change handler checks each text and reports the
// outcome here: a text that passes becomes the one the field returns to; a text that fails is
// marked (it is neither pushed nor used) and, when the editing ends (Enter, the focus leaves,
// the window closes), the field gets its last accepted text back and the operator one message
// giving the accepted range.
class FieldCheck : public QObject {
    Q_OBJECT
public:
    FieldCheck(QLineEdit* edit, const ValueRule& rule);

    // The current text passed.
    void Accepted();
    // The current text failed. An empty text is not marked (the operator is typing), but it
    // is taken back like any other when the editing ends.
    void Refused();
    // Ends the editing: a text that has not passed is replaced by the last accepted one, with
    // one message. Returns true when it replaced the text.
    bool Finish();

    // The current text has not passed.
    bool Pending() const { return pending_; }
    const QString& AcceptedText() const { return accepted_; }
    QLineEdit* Edit() const { return edit_; }
    const ValueRule& Rule() const { return rule_; }
    // The field shows that its text fails.
    bool Marked() const;

private:
    void SetMarked(bool marked);

    QLineEdit* edit_;
    const ValueRule& rule_;
    QString accepted_;
    bool pending_ = false;
};
