#pragma once

#include "core/part.h"

#include <QFrame>

class PartsModel;
class QLabel;
class QPushButton;

// Laid over a part's page while the part is not running: says so, and offers to start it (when
// it is on) or to turn it on.
class OffBanner : public QFrame
{
    Q_OBJECT
public:
    OffBanner(Part part, PartsModel& model, QWidget* parent = nullptr);

    QString text() const;
    QPushButton* button() const { return m_button; }

private:
    void sync();

    Part m_part;
    PartsModel& m_model;
    QLabel* m_text;
    QPushButton* m_button;
};
