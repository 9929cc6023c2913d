#pragma once

#include "platform/desktop_apps.h"

#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

class QDialog;
class QListWidget;
class QMenu;
class QToolButton;
class SettingsStore;

// One tile of the apps editor: an item of the layout list, or a mark the editor shows without it
// being in the list (the start button, where running apps part from pinned ones).
struct EditorTile
{
    enum class Kind { app, running, runningSeparator, downloads, trash, divider, space, folder, startButton, unknown };

    Kind kind = Kind::unknown;
    QString item;         // the layout entry; empty for marks
    int layoutIndex = -1; // its place in the layout list; -1 for marks
    QString label;
    bool missing = false; // an app that is not installed, a folder that is gone
    QRect rect;

    bool movable() const { return layoutIndex >= 0; }
};

// The layout list as a row of tiles that wraps: click selects, dragging a tile moves it (the
// layout is reassigned), the context menu offers "Unpin" for apps and "Remove" for dividers,
// spaces and folders.
class TileStrip : public QWidget
{
    Q_OBJECT
public:
    explicit TileStrip(SettingsStore& store, QWidget* parent = nullptr);

    const QList<EditorTile>& tiles() const { return m_tiles; }
    // The tile showing this layout entry; -1 when none does.
    int tileOf(const QString& item) const;
    std::optional<QString> selectedItem() const { return m_selected; }
    void select(const std::optional<QString>& item);
    // The tile's menu; null for tiles that have none.
    QMenu* menuFor(int tile);
    // Moves the layout entry of tile `from` to stand before tile `to` (or at the end for
    // tiles().size()).
    void moveTile(int from, int to);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static constexpr int tileWidth = 78;
    static constexpr int tileHeight = 80;
    static constexpr int gap = 6;

signals:
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void rebuild();
    void place();
    int hit(const QPoint& point) const;
    // Where a tile dropped at `point` goes: the index of the tile it goes before.
    int dropIndex(const QPoint& point) const;
    QPixmap iconFor(const EditorTile& tile);
    // The desktop entry of an app, read once per app.
    const std::optional<DesktopApp>& app(const QString& id);
    // What the tiles show of the settings; a settings change redraws the tiles only when it moves.
    struct Marks
    {
        bool startButton = false;
        bool separate = false;
        int trash = 0;
        bool operator==(const Marks&) const = default;
    };
    Marks marks() const;

    SettingsStore& m_store;
    QList<EditorTile> m_tiles;
    std::optional<QString> m_selected;
    QHash<QString, QPixmap> m_icons;
    QHash<QString, std::optional<DesktopApp>> m_apps;
    Marks m_marks;
    int m_pressed = -1;
    QPoint m_pressPoint;
    bool m_dragging = false;
    QPoint m_dragPoint;
};

// "Your Apps": the tiles and the add menu (apps from the desktop's application entries, folders,
// a divider or a space after the selected tile).
class AppsEditor : public QWidget
{
    Q_OBJECT
public:
    explicit AppsEditor(SettingsStore& store, QWidget* parent = nullptr);

    TileStrip* strip() const { return m_strip; }
    QToolButton* addButton() const { return m_add; }
    QMenu* addMenu() const;

    void addDivider();
    void addSpace();
    // The picker of installed applications; the chosen ones are pinned when it is accepted.
    void askApps();
    QDialog* appPicker() const { return m_picker; }
    QListWidget* appList() const;
    // Asks for a folder through `chooseFolder` and pins it; an empty answer changes nothing.
    void askFolder();
    // How a folder is chosen (tests replace the folder dialog).
    std::function<QString(QWidget* parent)> chooseFolder;

private:
    SettingsStore& m_store;
    TileStrip* m_strip;
    QToolButton* m_add;
    QMenu* m_menu;
    QPointer<QDialog> m_picker;
};
