#include "app/widgets/TavrinKeyboard.h"

#include "app/widgets/DesignedColours.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>

namespace {

constexpr int KeySize = 38;
constexpr int KeyStep = KeySize + 3;

QToolButton* makeKey(QWidget* panel, const KeyboardKey& key, int index, bool bold) {
    auto* button = new QToolButton(panel);
    button->setText(key.caption);
    button->setGeometry(key.left, key.top, key.width, key.height);
    // The field being edited keeps the focus.
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(false);
    button->setProperty("tag", index);
    QFont font = button->font();
    font.setPointSize(10);
    font.setBold(bold);
    button->setFont(font);
    SetDesignedTextColour(button, Qt::black);
    return button;
}

// A panel is a borderless window of its own over the main window: a child widget would lie
// under the survey set-up window, which stays on top of the program's windows, when that
// window asks for it. It never takes the focus from the field it types into, and it does not
// keep the program alive.
constexpr Qt::WindowFlags PanelFlags = Qt::Tool | Qt::FramelessWindowHint |
                                       Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus;

void makePanelWindow(QWidget* panel) {
    panel->setAttribute(Qt::WA_ShowWithoutActivating);
    panel->setAttribute(Qt::WA_QuitOnClose, false);
}

// Black panel with an orange frame.
void paintPanel(QWidget* panel) {
    QPainter painter(panel);
    painter.fillRect(panel->rect(), Qt::black);
    QPen pen(QColor(0xFF, 0xA5, 0x00));
    pen.setWidth(3);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(1, 1), QPoint(panel->width() - 2, panel->height() - 2)));
}

QString withoutLast(const QString& text) {
    return text.left(text.size() - 1);
}

} // namespace

// Hides a panel when the window of the field it types into hides (the set-up window closed,
// for one), and when its owner does: left behind, a panel would lie over the map and its
// status panels with nothing to type into, and the compact view changes the owner's client
// area it was placed over.
class KeyboardWindowWatch final : public QObject {
public:
    explicit KeyboardWindowWatch(QWidget* panel) : QObject(panel), panel_(panel) {
        if (QWidget* owner = panel->parentWidget()) {
            owner_ = owner->window();
            owner_->installEventFilter(this);
        }
    }

    void follow(QWidget* control) {
        QWidget* window = control ? control->window() : nullptr;
        if (window == panel_)
            window = nullptr;
        if (window == field_.data())
            return;
        // One filter serves both windows when the field lies on the owner.
        if (field_ && field_ != owner_)
            field_->removeEventFilter(this);
        field_ = window;
        if (field_)
            field_->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && (watched == field_.data() || watched == owner_.data()))
            panel_->hide();
        return false;
    }

private:
    QWidget* panel_;
    QPointer<QWidget> owner_;
    QPointer<QWidget> field_;
};

std::vector<KeyboardKey> NumericKeypadKeys() {
    static const char* const captions[] = {"7", "8", "9", "4", "5", "6",
                                           "1", "2", "3", "Back", "0", "Enter"};
    std::vector<KeyboardKey> keys;
    for (int i = 0; i < 12; ++i)
        keys.push_back({QString::fromLatin1(captions[i]), 5 + 55 * (i % 3), 5 + 50 * (i / 3), 50, 45});
    return keys;
}

std::vector<KeyboardKey> SimpleKeyboardKeys() {
    std::vector<KeyboardKey> keys;
    const auto row = [&keys](const char* captions, int top, int firstLeft) {
        for (int k = 0; captions[k]; ++k)
            keys.push_back({QString(QLatin1Char(captions[k])), firstLeft + KeyStep * k, top,
                            KeySize, KeySize});
    };
    row("1234567890", 3, 3);
    row("QWERTYUIOP", 44, 3);
    row("ASDFGHJKL", 85, 22);
    row("ZXCVBNM", 126, 54);
    keys.push_back({QStringLiteral("Shift"), 3, 126, 48, KeySize});
    keys.push_back({QStringLiteral("Space"), 44, 167, 250, KeySize});
    keys.push_back({QStringLiteral("Back"), 341, 126, 53, KeySize});
    keys.push_back({QStringLiteral("Enter"), 297, 167, 80, KeySize});
    return keys;
}

QString GetControlText(QWidget* control) {
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text();
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return combo->currentText();
    return {};
}

void SetControlText(QWidget* control, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(control))
        combo->setCurrentText(text);
}

TTavrinNumericKeypad::TTavrinNumericKeypad(QWidget* owner) : QWidget(owner, PanelFlags) {
    setObjectName(QStringLiteral("NumericKeypad"));
    makePanelWindow(this);
    windowWatch_ = new KeyboardWindowWatch(this);
    setFocusPolicy(Qt::NoFocus);
    resize(PanelWidth, PanelHeight);
    const std::vector<KeyboardKey> keys = NumericKeypadKeys();
    for (size_t i = 0; i < keys.size(); ++i) {
        QToolButton* button = makeKey(this, keys[i], int(i), true);
        connect(button, &QToolButton::clicked, this, [this, button] { KeyClick(button); });
        Buttons.push_back(button);
    }
}

void TTavrinNumericKeypad::TypeInto(QWidget* control) {
    TargetControl = control;
    windowWatch_->follow(control);
}

void TTavrinNumericKeypad::KeyClick(QToolButton* key) {
    if (!key)
        return;
    const QString caption = key->text();
    // "Enter" closes the keypad also without a target, so a keypad shown for nothing can go.
    if (caption == QLatin1String("Enter")) {
        hide();
        return;
    }
    QWidget* target = TargetControl.data();
    if (!target)
        return;
    const QString text = GetControlText(target);
    if (caption == QLatin1String("Back")) {
        if (!text.isEmpty())
            SetControlText(target, withoutLast(text));
        return;
    }
    SetControlText(target, text + caption);
}

void TTavrinNumericKeypad::paintEvent(QPaintEvent*) {
    paintPanel(this);
}

TTavrinSimpleKeyboard::TTavrinSimpleKeyboard(QWidget* owner) : QWidget(owner, PanelFlags) {
    setObjectName(QStringLiteral("SimpleKeyboard"));
    makePanelWindow(this);
    windowWatch_ = new KeyboardWindowWatch(this);
    setFocusPolicy(Qt::NoFocus);
    resize(PanelWidth, PanelHeight);
    const std::vector<KeyboardKey> keys = SimpleKeyboardKeys();
    const size_t characters = keys.size() - 4;
    for (size_t i = 0; i < keys.size(); ++i) {
        const int slot = i < characters ? int(i) : ShiftSlot + int(i - characters);
        QToolButton* button = makeKey(this, keys[i], slot, slot == EnterSlot);
        connect(button, &QToolButton::clicked, this, [this, button] { KeyClick(button); });
        Buttons[size_t(slot)] = button;
    }
    ButtonCount = int(characters);
}

void TTavrinSimpleKeyboard::TypeInto(QWidget* control) {
    TargetControl = control;
    windowWatch_->follow(control);
}

void TTavrinSimpleKeyboard::KeyClick(QToolButton* key) {
    if (!key)
        return;
    const int slot = key->property("tag").toInt();
    if (slot == EnterSlot) {
        hide();
        return;
    }
    if (slot == ShiftSlot) {
        ShiftOn = !ShiftOn;
        UpdateCase();
        return;
    }
    QWidget* target = TargetControl.data();
    if (!target)
        return;
    const QString text = GetControlText(target);
    if (slot == SpaceSlot) {
        SetControlText(target, text + QLatin1Char(' '));
    } else if (slot == BackSlot) {
        if (!text.isEmpty())
            SetControlText(target, withoutLast(text));
    } else {
        SetControlText(target, text + key->text());
        if (ShiftOn) {
            ShiftOn = false;
            UpdateCase();
        }
    }
}

void TTavrinSimpleKeyboard::UpdateCase() {
    for (int slot = 10; slot < ButtonCount; ++slot) {
        QToolButton* button = Buttons[size_t(slot)];
        if (!button || button->text().size() != 1 || !button->text()[0].isLetter())
            continue;
        button->setText(ShiftOn ? button->text().toUpper() : button->text().toLower());
    }
}

void TTavrinSimpleKeyboard::paintEvent(QPaintEvent*) {
    paintPanel(this);
}
