#pragma once
// Renders any widget offscreen into a PNG file, for looking at windows without a display.
#include <QString>
#include <QSize>

class QWidget;

namespace kestrova::test {

// Lays the widget out (at size when given), paints it and its children into path.
// False when the image could not be written.
bool renderPng(QWidget *widget, const QString &path, const QSize &size = {});
// Where a test puts the pictures it renders: $KESTROVA_RENDER_DIR when set (kept there
// for a look), else a temporary folder removed when the test program ends.
QString pictureFolder();

} // namespace kestrova::test
