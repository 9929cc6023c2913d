#pragma once

#include "clock/named_style.h"

#include <QHash>
#include <QImage>
#include <QUuid>
#include <QWidget>

#include <optional>

class LibraryStore;
class PresetCard;
class QComboBox;
class QGridLayout;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QVBoxLayout;
class StyleStore;
class ToggleSwitch;

// The clock page with the editor closed: the part's status, the presets as a grid of cards with
// their menus, the restore buttons, and the two app-wide clock options under "How it works".
class ClockOverview : public QWidget
{
    Q_OBJECT
public:
    // Cards shown before "Show all".
    static constexpr int foldedCount = 8;

    ClockOverview(StyleStore& store, LibraryStore* library, QWidget* parent = nullptr);

    void setRunning(bool running);
    void setBackdrop(const QImage& image);

    QList<PresetCard*> cards() const;
    PresetCard* card(const QUuid& id) const { return m_cards.value(id); }
    // The card's menu as it would open now (the caller owns it).
    QMenu* menuFor(const QUuid& id, QWidget* parent = nullptr);
    std::optional<QUuid> selectedID() const { return m_selectedID; }
    void select(const std::optional<QUuid>& id);
    bool isUnfolded() const { return m_unfolded; }
    void setUnfolded(bool unfolded);
    void scrollToTop();
    void showHowItWorks();

    QLabel* statusLine() const { return m_status; }
    QLabel* presetsTitle() const { return m_presetsTitle; }
    QPushButton* newPresetButton() const { return m_newPreset; }
    QPushButton* editClockButton() const { return m_editClock; }
    QPushButton* foldButton() const { return m_fold; }
    QList<QPushButton*> restoreButtons() const { return m_restoreButtons; }
    QComboBox* timeFormatMenu() const { return m_timeFormat; }
    ToggleSwitch* desktopToggle() const { return m_desktop; }

    static QString timeFormatTitle(ClockTimeFormat format);
    static QString timeFormatNote();

signals:
    void newPresetRequested();
    void editClockRequested();
    void editPresetRequested(const QUuid& id);
    void renameRequested(const QUuid& id);
    void deleteRequested(const QUuid& id);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void syncCards();
    void syncStatuses();
    void syncRestore();
    void syncStatusLine();
    void syncOptions();
    void layoutGrid(bool force = false);

    StyleStore& m_store;
    LibraryStore* m_library;
    bool m_running = false;
    QImage m_backdrop;
    std::optional<QUuid> m_selectedID;
    bool m_unfolded = false;
    int m_columns = 0;

    QWidget* m_content; // before the area that holds it
    QScrollArea* m_scroll;
    QLabel* m_status;
    QLabel* m_presetsTitle;
    QPushButton* m_newPreset;
    QPushButton* m_editClock;
    QWidget* m_grid;
    QGridLayout* m_gridLayout;
    QHash<QUuid, PresetCard*> m_cards;
    QList<QUuid> m_order;
    QPushButton* m_fold;
    QVBoxLayout* m_restoreLayout;
    QList<QPushButton*> m_restoreButtons;
    QWidget* m_howBox;
    QComboBox* m_timeFormat;
    ToggleSwitch* m_desktop;
};
