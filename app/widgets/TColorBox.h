#pragma once

#include <QComboBox>

#include <cstdint>
#include <vector>

// A drop-down of named colours (0x00BBGGRR): "Custom..." first, which asks the operator for
// any colour and shows a colour that is not in the list, then the 16 standard and 4 extended
// colours with their names.
class TColorBox : public QComboBox {
    Q_OBJECT
public:
    struct NamedColor {
        const char* Name;
        uint32_t Color;
    };
    static const std::vector<NamedColor>& NamedColors();

    explicit TColorBox(QWidget* parent = nullptr);

    uint32_t Selected() const;
    // Selects the named entry of the colour, or "Custom..." showing it. Raises no signal: a
    // selection set from code runs no handler.
    void SetSelected(uint32_t color);

signals:
    // The operator picked a colour: a named one, or one chosen through "Custom...".
    void ColorActivated(uint32_t color);

private:
    void OnActivated(int index);
    void SetCustom(uint32_t color);

    int lastIndex_ = 0;
};
