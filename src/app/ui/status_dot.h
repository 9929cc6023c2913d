#pragma once

#include <QColor>
#include <QWidget>

#include <optional>

// A small round light: lit in a colour, or dark in the "off" colour.
class StatusDot : public QWidget
{
    Q_OBJECT
public:
    explicit StatusDot(QWidget* parent = nullptr);

    void setLit(std::optional<QColor> color); // nullopt: unlit
    std::optional<QColor> litColor() const { return m_color; }
    QSize sizeHint() const override { return {8, 8}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<QColor> m_color;
};
