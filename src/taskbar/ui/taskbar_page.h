#pragma once

#include "brand/ui/dialog_slot.h"
#include "platform/desktop_words.h"

#include <QDialog>
#include <QHash>
#include <QImage>
#include <QUuid>
#include <QWidget>

#include <functional>
#include <optional>

class AppsEditor;
class LibraryStore;
class MenuRow;
class QComboBox;

class QFrame;
class QGridLayout;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class SettingsStore;
class SliderRow;
class StyleEditor;
class ThemeCard;
class ToggleSwitch;

// The taskbar's page: its state and permissions, the bar styles, the apps on the bar, what else is
// on it, how it behaves, and the style editor in its place while a style is edited. Every control
// writes straight into the settings store, which saves and tells the running taskbar part; the
// page keeps only view state.
class TaskbarPage : public QWidget
{
    Q_OBJECT
public:
    // `library` may be null (no ensembles, no wallpaper behind the mini bars). `send` posts a
    // command to the taskbar part (default: over the bus).
    TaskbarPage(SettingsStore& store, LibraryStore* library, QWidget* parent = nullptr,
                std::function<void(const QString& command)> send = {});
    ~TaskbarPage() override;

    void setRunning(bool running);
    // Opens a settings pane of the desktop (tests replace it).
    std::function<void(SettingsPane pane)> openSettings;

    // --- the style grid
    QList<ThemeCard*> cards() const;
    ThemeCard* card(const QUuid& id) const { return m_cards.value(id); }
    std::optional<QUuid> selectedID() const { return m_selected; }
    void select(const std::optional<QUuid>& id);
    QMenu* menuFor(const QUuid& id, QWidget* parent = nullptr);
    bool isUnfolded() const { return m_unfolded; }
    void setUnfolded(bool unfolded);
    QPushButton* foldButton() const { return m_fold; }
    QPushButton* restoreButton() const { return m_restore; }
    QLabel* countLabel() const { return m_count; }
    static constexpr int foldedCount = 8;

    // --- the parts of the page, for tests and snapshots
    QLabel* statusLabel() const { return m_status; }
    QPushButton* quitButton() const { return m_quit; }
    QPushButton* editButton() const { return m_edit; }
    QPushButton* newStyleButton() const { return m_newStyle; }
    QWidget* accessibilityBanner() const { return m_accessBanner; }
    AppsEditor* appsEditor() const { return m_apps; }
    StyleEditor* editor() const { return m_editor; }
    QPushButton* resetButton() const { return m_reset; }
    // The How it works and Also on the bar controls by their titles.
    QWidget* control(const QString& title) const { return m_controls.value(title); }
    QLabel* permissionNote() const { return m_permissionNote; }
    QPushButton* screenRecordingButton() const { return m_screenButton; }
    QLabel* reserveNote() const { return m_reserveNote; }
    // The dialog the page shows now, if any.
    QDialog* dialog() const { return m_dialog.current(); }

    // --- the editor and the questions
    bool isEditing() const;
    void openEditor(const QString& section = QString());
    // Back to the page without asking (after the question, or when nothing was edited).
    void closeEditor();
    // The editor's back button: asks first when the active style was edited.
    void back();
    void reselect();
    bool needsLeaveGuard() const;
    // Leaving: true when nothing needs asking; otherwise asks, answers false and runs `leave`
    // after "Save as a New Style" or "Don't Save". "Cancel" stays.
    bool mayLeave(std::function<void()> leave);
    // "apps" (the apps editor), "new" (the new style sheet), or an editor section; false for
    // anything else. Case is ignored.
    bool openDetail(const QString& detail);
    void scrollToApps();

    void askNewStyle();
    void askSaveAsNew();
    void askSaveInto();
    void askDiscard();
    void askDelete(const QUuid& id);
    void askReset();
    void askPermission(SettingsPane pane);

signals:
    void quitRequested();
    void leaveGuardChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* buildOverview();
    void buildHowItWorks(QWidget* parent, class QVBoxLayout* page);
    void syncCards();
    void syncStatuses();
    void syncRestore();
    void syncSettings();
    void syncPermissions();
    void syncBackdrop();
    void layoutGrid(bool force = false);
    void present(QDialog* dialog);
    void edit(const std::function<void(struct TaskbarSettings&)>& change);

    SettingsStore& m_store;
    LibraryStore* m_library;
    std::function<void(const QString&)> m_send;
    QStackedWidget* m_stack;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_content = nullptr;
    StyleEditor* m_editor = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_quit = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_newStyle = nullptr;
    QWidget* m_accessBanner = nullptr;
    QWidget* m_grid = nullptr;
    QGridLayout* m_gridLayout = nullptr;
    QLabel* m_count = nullptr;
    QPushButton* m_fold = nullptr;
    QPushButton* m_restore = nullptr;
    AppsEditor* m_apps = nullptr;
    QPushButton* m_reset = nullptr;
    QLabel* m_permissionNote = nullptr;
    QLabel* m_screenTitle = nullptr;
    QPushButton* m_screenButton = nullptr;
    QLabel* m_trustNote = nullptr;
    QLabel* m_reserveNote = nullptr;
    QHash<QString, QWidget*> m_controls;
    QHash<QUuid, ThemeCard*> m_cards;
    QList<QUuid> m_order;
    std::optional<QUuid> m_selected;
    bool m_unfolded = false;
    bool m_running = false;
    int m_columns = 0;
    QImage m_backdrop;
    DialogSlot m_dialog;
};
