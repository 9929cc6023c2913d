#pragma once

#include "core/part.h"

#include <QWidget>

class PartsModel;
class QLabel;
class QPushButton;
class StatusDot;

// The status line of one part: a dot, the line, its action link, and (when the part stood down)
// the reason under them. Follows the model.
class PartStatusView : public QWidget
{
    Q_OBJECT
public:
    PartStatusView(Part part, PartsModel& model, QWidget* parent = nullptr);

    QString text() const;
    QString detail() const;
    QString actionTitle() const; // empty when there is no action

    void update();

private:
    Part m_part;
    PartsModel& m_model;
    StatusDot* m_dot;
    QLabel* m_text;
    QPushButton* m_action;
    QLabel* m_detail;
};
