#pragma once

#include <QAbstractButton>

// An on/off switch in the brand's look. Clicking flips it and emits toggled(bool); setChecked
// from code is silent about nothing else.
class ToggleSwitch : public QAbstractButton
{
    Q_OBJECT
public:
    explicit ToggleSwitch(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {38, 22}; }

protected:
    void paintEvent(QPaintEvent* event) override;
};
