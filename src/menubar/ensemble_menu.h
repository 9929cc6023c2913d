#pragma once

#include "menubar/menu_status.h"

#include <QColor>
#include <QKeyCombination>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QUuid>

#include <functional>
#include <optional>

class EnsembleMenuModel;
class MenuThumbs;
class QPainter;

// What the menu's bottom rows do.
struct MenuActions
{
    std::function<void()> openZentrove;
    std::function<void()> sendFeedback;
    std::function<void()> quit;
};

// A row of the menu that the hosting process adds above the bottom rows (the live-wallpaper
// part's pause row).
struct MenuExtraRow
{
    std::function<QString()> title;
    std::function<bool()> enabled;
    std::function<void()> action;
};

// The menu bar item's content, drawn with QPainter so that the parts (which have no widgets) and
// the control app's preview window show the same thing. From the top: header (thumbnail, name,
// status line), the display switch when there are several displays, the grid of ensembles, the
// extra row, and the rows "Open Zentrove…", "Send Feedback…" and "Quit Zentrove".
//
// Coordinates are in points from the content's top left; hosts pass their mouse and key input in.
class EnsembleMenu : public QObject
{
    Q_OBJECT
public:
    struct Hooks
    {
        std::function<MenuStatus()> status;
        // Makes an ensemble current on the main display. Empty: ask the live-wallpaper part.
        std::function<void(const QUuid&)> choose;
        std::optional<MenuExtraRow> extra;
        MenuActions actions;
    };

    // What the pointer can hit.
    enum class Target { none, display, sameAsMain, tile, extra, open, feedback, quit };
    struct Hit
    {
        Target target = Target::none;
        int index = -1; // display or ensemble index
        bool operator==(const Hit&) const = default;
    };

    static constexpr double width = 340;

    EnsembleMenu(EnsembleMenuModel& model, Hooks hooks, QObject* parent = nullptr);
    ~EnsembleMenu() override;

    EnsembleMenuModel& model() const { return m_model; }
    QSizeF size() const;
    void paint(QPainter& painter);
    // The popover's background and edge, for hosts that draw the chrome.
    static void paintChrome(QPainter& painter, const QRectF& rect);

    // Input from the host, in content points.
    void hover(const QPointF& at);
    void click(const QPointF& at);
    void scroll(double dy);
    // The keyboard shortcuts of the first and last row; true when one was taken.
    bool shortcut(QKeyCombination keys);
    static QKeyCombination openKeys();
    static QKeyCombination quitKeys();

    // Read back what is drawn (tests, accessibility).
    Hit hitAt(const QPointF& at) const;
    QRectF rectOf(Hit hit) const;
    int tileIndex(const QUuid& id) const; // -1 when it has no tile
    QString headerName() const;
    QString headerStatus() const;
    bool attention() const;
    bool showsDisplaySwitch() const;
    bool showsSameAsMain() const;
    std::optional<QString> extraTitle() const;
    double gridOffset() const { return m_offset; }

    // Takes in changes of the model, the status or the accent.
    void refresh();

signals:
    // Something drawn changed; the size may have too.
    void changed();

private:
    struct Layout;
    Layout layout() const;
    void chooseDisplay(int index);
    void chooseTile(const std::optional<QUuid>& id);
    void scrollTo(int tile);
    QString rowShortcut(QKeyCombination keys) const;
    QImage thumbnail(const QUuid& wallpaper, const QSizeF& size, double dpr);

    EnsembleMenuModel& m_model;
    Hooks m_hooks;
    MenuThumbs* m_thumbs = nullptr;
    Hit m_hover;
    double m_offset = 0;
    QString m_status;
    bool m_attention = false;
};
