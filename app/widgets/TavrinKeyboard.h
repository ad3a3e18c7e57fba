#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <vector>

class QToolButton;
class KeyboardWindowWatch;

// Where a key of an on-screen keyboard sits on its panel.
struct KeyboardKey {
    QString caption;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The keypad's twelve keys, three to a row: 7 8 9 / 4 5 6 / 1 2 3 / Back 0 Enter.
std::vector<KeyboardKey> NumericKeypadKeys();
// The keyboard's 36 character keys (digits, then letters row by row), then "Shift", "Space",
// "Back" and "Enter".
std::vector<KeyboardKey> SimpleKeyboardKeys();

// The text of a field the keyboards can edit: a line edit (plain or masked) or a combo box.
// Any other control reads "" and is never written.
QString GetControlText(QWidget* control);
void SetControlText(QWidget* control, const QString& text);

// A numeric keypad for touch screens: appends digits to its target field, "Back" removes the
// last character, "Enter" hides the keypad. Its keys never take the focus, so the field keeps
// it.
class TTavrinNumericKeypad : public QWidget {
    Q_OBJECT
public:
    static constexpr int PanelWidth = 170;
    static constexpr int PanelHeight = 200;

    explicit TTavrinNumericKeypad(QWidget* owner);

    // A field that has been destroyed counts as none.
    QPointer<QWidget> TargetControl;
    std::vector<QToolButton*> Buttons;

    // Types into `control` from now on. The keypad belongs to its field: it hides when the
    // field's window hides, and when the window it is placed over (its owner) does.
    void TypeInto(QWidget* control);
    void KeyClick(QToolButton* key);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    KeyboardWindowWatch* windowWatch_;
};

// A letter keyboard for touch screens: digits, letters, a one-shot "Shift", "Space", "Back"
// and "Enter" (which hides it). The letters type as their captions show them; the captions
// start as capitals and follow the shift only from the first "Shift" on.
class TTavrinSimpleKeyboard : public QWidget {
    Q_OBJECT
public:
    static constexpr int PanelWidth = 420;
    // The last row ends at 167 + 38 = 205 pixels.
    static constexpr int PanelHeight = 208;
    static constexpr int ShiftSlot = 50;
    static constexpr int SpaceSlot = 51;
    static constexpr int BackSlot = 52;
    static constexpr int EnterSlot = 53;

    explicit TTavrinSimpleKeyboard(QWidget* owner);

    QPointer<QWidget> TargetControl;
    bool ShiftOn = false;
    std::array<QToolButton*, 54> Buttons{};
    int ButtonCount = 0;

    // Types into `control` from now on; hides with the field's window and with its owner.
    void TypeInto(QWidget* control);
    void KeyClick(QToolButton* key);
    // The letter keys show capitals while the shift is on, small letters otherwise.
    void UpdateCase();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    KeyboardWindowWatch* windowWatch_;
};
