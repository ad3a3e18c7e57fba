#pragma once

#include <QString>
#include <QWidget>

#include <vector>

// A status bar made of panels side by side, each with its own text and width; the last panel
// takes whatever room is left. Clicks and double-clicks are reported for the whole bar: the
// handler finds the panel from the cursor position. A double-click raises one Click and one
// DblClick.
class TStatusBar : public QWidget {
    Q_OBJECT
public:
    explicit TStatusBar(QWidget* parent = nullptr);

    void SetPanelCount(int count, int width);
    int PanelCount() const { return int(panels_.size()); }
    // Out-of-range indexes read as an empty panel of width 0 and are ignored when written.
    QString PanelText(int index) const;
    void SetPanelText(int index, const QString& text);
    int PanelWidth(int index) const;
    void SetPanelWidth(int index, int width);
    // Where the panel starts, in the bar's coordinates.
    int PanelLeft(int index) const;
    // The part of the bar the panel paints: its bevel and its text (clipped to the bevel).
    QRect PanelReach(int index) const;

    // Where the last click or double-click happened, in the bar's coordinates.
    QPoint ClickPosition() const { return clickPosition_; }

    QSize sizeHint() const override;

signals:
    void Click();
    void DblClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    struct Panel {
        QString text;
        int width = 100;
    };
    std::vector<Panel> panels_;
    // The release that ends a double-click is no second click.
    bool releaseEndsDoubleClick_ = false;
    QPoint clickPosition_;
};
