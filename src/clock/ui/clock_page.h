#pragma once

#include "brand/ui/dialog_slot.h"
#include "clock/clock_choices.h"

#include <QUuid>
#include <QWidget>

#include <functional>

class BackdropChoice;
class ClockEditor;
class ClockOverview;
class LibraryStore;
class QDialog;
class QStackedWidget;
class StyleStore;

// The lock screen clock's page: the preset overview, or the editor of the current clock. Edits go
// straight into the style store, so the running clock part follows them as they are made; leaving
// an edited preset asks whether to save it first.
class ClockPage : public QWidget
{
    Q_OBJECT
public:
    // `library` may be null (no ensembles, no wallpapers to preview on).
    ClockPage(StyleStore& store, LibraryStore* library, QWidget* parent = nullptr);
    ~ClockPage() override;

    void setRunning(bool running);

    bool isEditing() const;
    ClockTab tab() const;
    void openEditor(ClockTab tab = ClockTab::time);
    // Opens the editor on the tab of that raw value, ignoring case; false for no such tab.
    bool openTab(const QString& name);
    // The back button: leaves the editor, asking first when the active preset was edited.
    void back();
    // Picking the page that is shown: leave the editor (as back does), else scroll to the top.
    void reselect();

    // Whether leaving now needs asking: the editor is open on an edited preset.
    bool needsLeaveGuard() const;
    // Leaving the page: true when nothing needs asking. Otherwise asks, answers false, and runs
    // `leave` after "Save" or "Don't Save"; "Cancel" stays.
    bool mayLeave(std::function<void()> leave);

    ClockOverview* overview() const { return m_overview; }
    ClockEditor* editor() const { return m_editor; }
    BackdropChoice* backdrop() const { return m_backdrop; }
    // The dialog the page shows now, if any.
    QDialog* dialog() const { return m_dialog.current(); }

    void askNewPreset();
    void askSaveAs();
    void askRename(const QUuid& id);
    void askDelete(const QUuid& id);

signals:
    void leaveGuardChanged();

private:
    void closeEditor();
    void present(QDialog* dialog);
    void syncBackdrop();

    StyleStore& m_store;
    LibraryStore* m_library;
    BackdropChoice* m_backdrop;
    QStackedWidget* m_stack;
    ClockOverview* m_overview;
    ClockEditor* m_editor;
    DialogSlot m_dialog;
};
