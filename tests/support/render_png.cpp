#include "support/render_png.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>

namespace kestrova::test {

bool renderPng(QWidget *widget, const QString &path, const QSize &size)
{
    if (size.isValid())
        widget->resize(size);
    else
        widget->adjustSize();
    widget->ensurePolished();
    // Showing makes the layouts settle as they would on screen.
    const bool wasVisible = widget->isVisible();
    if (!wasVisible)
        widget->show();
    QCoreApplication::processEvents();
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    widget->render(&painter);
    painter.end();
    if (!wasVisible)
        widget->hide();
    return image.save(path, "PNG");
}

QString pictureFolder()
{
    if (!qEnvironmentVariableIsEmpty("KESTROVA_RENDER_DIR")) {
        const QString dir = qEnvironmentVariable("KESTROVA_RENDER_DIR");
        QDir().mkpath(dir);
        return dir;
    }
    static QTemporaryDir scratch;
    return scratch.path();
}

} // namespace kestrova::test
