#pragma once

#include "taskbar/taskbar_settings.h"
#include "taskbar/theme.h"

#include <QFrame>
#include <QImage>

class ElidedLabel;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// A style's bar in miniature on the wallpaper. The picture is drawn once per change of the
// settings, the backdrop or the size, and kept between paints.
class MiniBar : public QWidget
{
    Q_OBJECT
public:
    explicit MiniBar(QWidget* parent = nullptr);

    void setSettings(const TaskbarSettings& settings);
    void setBackdrop(const QImage& image);
    const TaskbarSettings& settings() const { return m_settings; }
    // The bar's size against its real size (a half by default) and the picture's height against
    // its width.
    void setScale(double scale);
    void setAspect(double aspect);
    // How many times the picture was drawn.
    int drawCount() const { return m_draws; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TaskbarSettings m_settings;
    QImage m_backdrop;
    QImage m_image;
    double m_scale = 0.5;
    double m_aspect = 0.42;
    QSize m_drawnSize;
    bool m_stale = true;
    int m_draws = 0;
};

// A style in the page's grid: its mini bar, name, the ensembles that use it, and whether it is
// in use and selected. A click selects, a double click applies; the menu button asks for the
// card's menu. Renaming happens in place, in a name field with "Cancel".
class ThemeCard : public QFrame
{
    Q_OBJECT
public:
    explicit ThemeCard(QWidget* parent = nullptr);

    void setTheme(const Theme& theme, const TaskbarSettings& settings, bool inUse, const QString& ensembles, bool selected);
    void setBackdrop(const QImage& image);

    const Theme& theme() const { return m_theme; }
    bool isInUse() const { return m_inUse; }
    bool isSelected() const { return m_selected; }
    QString ensemblesText() const;
    QString statusText() const;
    MiniBar* miniBar() const { return m_bar; }
    QToolButton* menuButton() const { return m_menuButton; }

    // The name field in place of the name, filled with the name and selected.
    void beginRename();
    bool isRenaming() const;
    QLineEdit* renameField() const { return m_field; }
    QPushButton* renameCancel() const { return m_cancel; }

signals:
    void clicked();
    void doubleClicked();
    void menuRequested();
    void renamed(const QString& name);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void endRename();

    Theme m_theme;
    bool m_inUse = false;
    bool m_selected = false;
    MiniBar* m_bar;
    QWidget* m_nameRow;
    ElidedLabel* m_name;
    QToolButton* m_menuButton;
    QWidget* m_renameRow;
    QLineEdit* m_field;
    QPushButton* m_cancel;
    QLabel* m_ensembles;
    QLabel* m_status;
};
