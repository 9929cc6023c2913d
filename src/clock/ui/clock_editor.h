#pragma once

#include "clock/clock_choices.h"
#include "clock/clock_style.h"

#include <QWidget>

#include <functional>

class AlignmentRow;
class BackdropChoice;
class ChoiceRow;
class ColourRow;
class FontPicker;
class MenuRow;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStackedWidget;
class QToolButton;
class ScreenPreview;
class SliderRow;
class StyleStore;
class ToggleRow;

// The clock page with the editor open: a header, the live preview on its backdrop, the save
// buttons and five tabs of controls. Every control writes its field into the store at once.
class ClockEditor : public QWidget
{
    Q_OBJECT
public:
    ClockEditor(StyleStore& store, BackdropChoice& backdrop, QWidget* parent = nullptr);

    ClockTab tab() const { return m_tab; }
    void setTab(ClockTab tab);

    // The controls, by tab (for the page's tests and snapshots).
    struct TimeTab
    {
        FontPicker* font;
        SliderRow* width;
        SliderRow* size;
        ChoiceRow* arrangement;
        ChoiceRow* separator;
        ToggleRow* seconds;
        ToggleRow* leadingZero;
    };
    struct LookTab
    {
        ChoiceRow* finish;
        SliderRow* outlineWidth;
        ChoiceRow* colour;
        ColourRow* top;
        ColourRow* bottom;
        ColourRow* solid;
        QLabel* wallpaperNote;
        SliderRow* opacity;
        SliderRow* shadowStrength;
        SliderRow* shadowBlur;
    };
    struct DateTab
    {
        ChoiceRow* show;
        MenuRow* format;
        MenuRow* language;
        ChoiceRow* place;
        SliderRow* space;
        FontPicker* font;
        SliderRow* size;
        SliderRow* tracking;
        ColourRow* colour;
        ToggleRow* uppercase;
        AlignmentRow* align;
    };
    struct TextTab
    {
        QLineEdit* line;
        QToolButton* clear;
        ChoiceRow* place;
        SliderRow* space;
        ToggleRow* ownLook;
        QLabel* ownLookOff;
        QWidget* ownLookControls;
        SliderRow* size;
        SliderRow* tracking;
        ColourRow* colour;
        ToggleRow* uppercase;
        AlignmentRow* align;
    };
    struct LayoutTab
    {
        QList<QPushButton*> positions;
        SliderRow* sideMargin;
        SliderRow* verticalMargin;
    };
    const TimeTab& timeTab() const { return m_time; }
    const LookTab& lookTab() const { return m_look; }
    const DateTab& dateTab() const { return m_date; }
    const TextTab& textTab() const { return m_text; }
    const LayoutTab& layoutTab() const { return m_layout; }

    ScreenPreview* preview() const { return m_preview; }
    QToolButton* previewOnButton() const { return m_previewOn; }
    QLabel* backdropError() const { return m_backdropError; }
    QLabel* titleLabel() const { return m_title; }
    QPushButton* backButton() const { return m_back; }
    QPushButton* savePresetButton() const { return m_savePreset; }
    QPushButton* discardButton() const { return m_discard; }
    QPushButton* saveAsNewButton() const { return m_saveAsNew; }
    QPushButton* saveNewButton() const { return m_saveNew; }
    ChoiceRow* tabBar() const { return m_tabBar; }
    // The "PREVIEW ON" menu as it would open now (the caller owns it).
    QMenu* previewOnMenu(QWidget* parent = nullptr);
    // What choosing a file in the picture chooser does.
    bool choosePicture(const QString& path);

signals:
    void backRequested();
    // "Save as new…" and "Save Preset": the page asks for a name.
    void saveAsRequested();

private:
    QWidget* buildTime();
    QWidget* buildLook();
    QWidget* buildDate();
    QWidget* buildText();
    QWidget* buildLayout();
    void edit(const std::function<void(ClockStyle&)>& change);
    void sync();
    void syncHeader();
    void syncBackdrop();
    void openPictureChooser();

    StyleStore& m_store;
    BackdropChoice& m_backdrop;
    ClockTab m_tab = ClockTab::time;
    TimeTab m_time{};
    LookTab m_look{};
    DateTab m_date{};
    TextTab m_text{};
    LayoutTab m_layout{};
    QPushButton* m_back;
    QLabel* m_title;
    ScreenPreview* m_preview;
    QToolButton* m_previewOn;
    QLabel* m_backdropError;
    QPushButton* m_savePreset;
    QPushButton* m_discard;
    QPushButton* m_saveAsNew;
    QPushButton* m_saveNew;
    ChoiceRow* m_tabBar;
    QStackedWidget* m_tabs;
};
