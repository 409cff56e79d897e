#include "app/background_widget.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace kestrova::ui {

BackgroundWidget::BackgroundWidget(const QString &title, QWidget *parent) : QWidget(parent), m_title(title)
{
    setObjectName(QStringLiteral("Image1"));
}

void BackgroundWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = rect();

    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0.0, QColor(0xf4, 0xf8, 0xfb));
    sky.setColorAt(0.6, QColor(0xd8, 0xe7, 0xf1));
    sky.setColorAt(1.0, QColor(0xe9, 0xe2, 0xc8));
    p.fillRect(r, sky);

    // Two low rolling fields along the bottom, suggesting the grain the program is about.
    const qreal w = r.width();
    const qreal h = r.height();
    QPainterPath far;
    far.moveTo(0, h * 0.78);
    far.cubicTo(w * 0.3, h * 0.70, w * 0.6, h * 0.84, w, h * 0.74);
    far.lineTo(w, h);
    far.lineTo(0, h);
    far.closeSubpath();
    p.fillPath(far, QColor(0xd9, 0xc8, 0x8e, 120));
    QPainterPath near;
    near.moveTo(0, h * 0.88);
    near.cubicTo(w * 0.35, h * 0.82, w * 0.7, h * 0.94, w, h * 0.86);
    near.lineTo(w, h);
    near.lineTo(0, h);
    near.closeSubpath();
    p.fillPath(near, QColor(0xc8, 0xa9, 0x5a, 110));

    QFont font = p.font();
    font.setPixelSize(qMax(20, static_cast<int>(h / 14)));
    font.setBold(true);
    p.setFont(font);
    const QRectF titleRect(0, h * 0.30, w, h * 0.16);
    p.setPen(QColor(255, 255, 255, 160));
    p.drawText(titleRect.translated(2, 2), Qt::AlignCenter, m_title);
    p.setPen(QColor(0x2a, 0x5d, 0x84));
    p.drawText(titleRect, Qt::AlignCenter, m_title);
}

} // namespace kestrova::ui
