#pragma once

#include "platform/screens.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QRasterWindow>

#include <functional>
#include <memory>
#include <optional>

class EnsembleMenu;
class StatusItem;

// The popover's window: frameless, above other windows, holding the menu in the product's chrome.
// It closes when it loses the focus (the user clicked elsewhere) or on Escape.
class PopoverWindow : public QRasterWindow
{
    Q_OBJECT
public:
    explicit PopoverWindow(EnsembleMenu& menu);

    EnsembleMenu& menu() const { return m_menu; }
    // Sized to the menu and placed next to `anchor` (the item's place on screen) inside `area`.
    void place(const QPoint& anchor, const QRect& area);

signals:
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    void fitContent();

    EnsembleMenu& m_menu;
};

// The status item and its popover. The icon set while the popover is open waits until it closes.
class MenuBarPopover : public QObject
{
    Q_OBJECT
public:
    MenuBarPopover(const QString& identifier, std::unique_ptr<EnsembleMenu> content, QObject* parent = nullptr);
    ~MenuBarPopover() override;

    StatusItem& statusItem() const { return *m_item; }
    EnsembleMenu& content() const { return *m_content; }
    PopoverWindow* window() const { return m_window.get(); }

    void setImage(const QList<QImage>& masks, const QString& accessibleName);
    bool hasPendingImage() const { return m_pendingImage.has_value(); }

    bool isOpen() const;
    // Opens next to `at` (a null point: at the pointer), or closes when open.
    void toggle(const QPoint& at);
    void close();

    // Told the screen the popover opens on, before it shows.
    std::function<void(const ScreenInfo&)> willShow;

private:
    std::unique_ptr<StatusItem> m_item;
    std::unique_ptr<EnsembleMenu> m_content;
    std::unique_ptr<PopoverWindow> m_window;
    std::optional<std::pair<QList<QImage>, QString>> m_pendingImage;
};
