#pragma once

class QImage;
class QWidget;

class QSize;

// Paints a prepared picture at the widget's top left, cut to `area` with the corners rounded the
// way cards round them.
void paintRoundedPicture(QWidget& widget, const QImage& picture, const QSize& area, double radius = 6);
