#pragma once

#include <QString>

#include <cstdint>

enum class DialogAnswer { Yes, No, Cancel, Ok };

enum class MessageKind { Information, Warning, Error };

// What shows dialogs to the operator. The program uses Qt's dialogs; tests install a
// ScriptedDialogs so that nothing waits for a person.
class DialogProvider {
public:
    virtual ~DialogProvider() = default;

    virtual void message(MessageKind kind, const QString& text) = 0;
    // Yes/No, Yes/No/Cancel (withCancel) or OK/Cancel (okCancel).
    virtual DialogAnswer confirm(const QString& text, bool withCancel, bool okCancel) = 0;
    // Returns false when the operator cancelled; `value` holds the default on entry.
    virtual bool inputText(const QString& caption, const QString& prompt, QString& value) = 0;
    // An empty result means cancelled.
    virtual QString openFileName(const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString saveFileName(const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString folderName(const QString& caption, const QString& folder) = 0;
    // Colours are 0x00BBGGRR. Returns false when the operator cancelled.
    virtual bool chooseColor(uint32_t initial, uint32_t& chosen) = 0;
};
