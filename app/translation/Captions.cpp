#include "app/translation/Captions.h"

#include <QLabel>
#include <QVariant>

namespace {

const char* const CaptionProperty = "caption";

// "&&" shows as "&", a lone '&' (an accelerator mark) is not shown.
QString ShownText(const QString& caption) {
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) {
            shown += caption[i];
            continue;
        }
        if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&')) {
            shown += QLatin1Char('&');
            ++i;
        }
    }
    return shown;
}

} // namespace

QString CaptionOf(const QLabel* label) {
    if (label->buddy())
        return label->text();
    const QVariant stored = label->property(CaptionProperty);
    // Code that set the text itself (a number shown in a label) made it the caption.
    if (stored.isValid() && ShownText(stored.toString()) == label->text())
        return stored.toString();
    return label->text();
}

void SetCaption(QLabel* label, const QString& caption) {
    if (label->buddy()) {
        label->setText(caption);
        return;
    }
    label->setProperty(CaptionProperty, caption);
    label->setText(ShownText(caption));
}
