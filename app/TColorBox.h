#pragma once

#include <QComboBox>

#include <cstdint>

// A drop-down list of colours: the sixteen standard colours by name, and the stored colour
// when it is none of them. Colours are 0x00BBGGRR values, as the settings file keeps them.
class TColorBox : public QComboBox {
    Q_OBJECT
public:
    explicit TColorBox(QWidget* parent = nullptr);

    uint32_t Selected() const;
    // Selects the colour, adding it as "Custom" when it is not a standard one.
    void SetSelected(uint32_t color);

    // The standard colours in list order, with their names.
    struct NamedColor {
        uint32_t color;
        const char* name;
    };
    static const NamedColor* StandardColors(int& count);
};
