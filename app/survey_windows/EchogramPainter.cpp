#include "app/survey_windows/EchogramPainter.h"

#include "survey/EchogramModel.h"

#include <QPainter>

void PaintEchogram(QPainter& painter, const EchogramPlan& plan) {
    if (plan.Width < 1 || plan.Height < 1)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(0, 0, plan.Width, plan.Height), QColor(240, 248, 255));

    const QColor water(100, 180, 255);
    const QPen seabed(QColor(255, 0, 0), 3, Qt::SolidLine, Qt::FlatCap);
    for (const EchogramBar& bar : plan.Bars) {
        painter.fillRect(QRect(QPoint(bar.X0, 0), QPoint(bar.X1 - 1, bar.Y - 1)), water);
        painter.setPen(seabed);
        painter.drawLine(bar.X0, bar.Y, bar.X1, bar.Y);
    }

    painter.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::FlatCap));
    for (const EchogramSegment& segment : plan.Profile)
        painter.drawLine(segment.X0, segment.Y0, segment.X1, segment.Y1);

    QFont labelFont = painter.font();
    labelFont.setBold(true);
    labelFont.setPointSize(9);
    painter.setFont(labelFont);
    const QPen grid(QColor(128, 128, 128), 1, Qt::DotLine);
    for (const EchogramGridLine& line : plan.Grid) {
        painter.setPen(grid);
        painter.drawLine(0, line.Y, plan.Width, line.Y);
        painter.setPen(Qt::black);
        painter.drawText(QRect(3, line.Y + 2, plan.Width, plan.Height),
                         Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(line.Label));
    }

    if (plan.DepthBox) {
        const EchogramDepthBox& box = *plan.DepthBox;
        if (box.Leader) {
            painter.setPen(QPen(Qt::black, 1));
            painter.drawLine(box.LeaderX, box.LeaderTop, box.LeaderX, box.LeaderBottom);
        }
        painter.fillRect(QRect(QPoint(box.Left, box.Top), QPoint(box.Right - 1, box.Bottom - 1)),
                         QColor(255, 255, 0));
        QFont boxFont = painter.font();
        boxFont.setPointSize(12);
        painter.setFont(boxFont);
        painter.setPen(Qt::black);
        painter.drawText(QRect(box.TextX, box.TextY, box.Right - box.TextX, box.Bottom - box.TextY),
                         Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(box.Text));
    }
    painter.restore();
}
