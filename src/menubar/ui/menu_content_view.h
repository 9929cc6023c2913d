#pragma once

#include <QWidget>

#include <functional>
#include <memory>

class EnsembleMenu;
class EnsembleMenuModel;

// Shows the menu bar item's content in a widget, in the popover's chrome, as the popover does.
class MenuContentView : public QWidget
{
    Q_OBJECT
public:
    // Takes the model and the menu; both live as long as the view.
    MenuContentView(std::unique_ptr<EnsembleMenuModel> model, std::function<std::unique_ptr<EnsembleMenu>(EnsembleMenuModel&)> make,
                    QWidget* parent = nullptr);
    ~MenuContentView() override;

    EnsembleMenu& menu() const { return *m_menu; }
    EnsembleMenuModel& model() const { return *m_model; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPointF content(const QPointF& at) const;

    std::unique_ptr<EnsembleMenuModel> m_model;
    std::unique_ptr<EnsembleMenu> m_menu;
};
