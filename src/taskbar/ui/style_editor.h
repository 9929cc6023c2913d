#pragma once

#include "taskbar/taskbar_settings.h"

#include <QHash>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

class ChoiceRow;
class ColourRow;
class LibraryStore;
class MenuRow;
class MiniBar;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class SettingsStore;
class SliderRow;
class ToggleRow;

// Keeps the running bar on screen while its style is edited: "holdOpen" at once and then at
// every interval, "releaseHold" when the hold ends.
class BarHold : public QObject
{
    Q_OBJECT
public:
    using Send = std::function<void(const QString& command)>;

    // `send` posts a command to the taskbar part; the default sends it over the bus.
    explicit BarHold(QObject* parent = nullptr, Send send = {});
    ~BarHold() override;

    void begin();
    void end();
    bool isHolding() const { return m_timer.isActive(); }
    int interval() const { return m_timer.interval(); }

    // 20 seconds, or ZENTROVE_TASKBAR_HOLD_MS when that is set (tests).
    static int standardInterval();

private:
    Send m_send;
    QTimer m_timer;
};

// The style editor: eight sections of controls bound to the bar's settings, the bar as it looks
// now above them, and the ways to keep or drop the changes to the active style. Every control
// writes straight into the store.
class StyleEditor : public QWidget
{
    Q_OBJECT
public:
    StyleEditor(SettingsStore& store, LibraryStore* library, QWidget* parent = nullptr, BarHold::Send send = {});
    ~StyleEditor() override;

    // The sections' identifiers, in order.
    static QStringList sectionIDs();
    static QString sectionTitle(const QString& id);
    QString section() const;
    // false for no such section (case is ignored).
    bool setSection(const QString& id);

    BarHold& hold() { return m_hold; }
    void setBackdrop(const QImage& image);

    // The save bar's texts and buttons.
    QWidget* saveBar() const { return m_saveBar; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* discardButton() const { return m_discard; }
    QPushButton* backButton() const { return m_back; }

    // The controls, for tests.
    struct Controls
    {
        ChoiceRow* background = nullptr;
        ColourRow* topColour = nullptr;
        ColourRow* bottomColour = nullptr;
        SliderRow* opacity = nullptr;
        ColourRow* foreground = nullptr;
        SliderRow* edgeLine = nullptr;
        MenuRow* position = nullptr;
        ChoiceRow* corners = nullptr;
        SliderRow* cornerRadius = nullptr;
        SliderRow* thickness = nullptr;
        SliderRow* length = nullptr;
        SliderRow* edgeGap = nullptr;
        SliderRow* iconSize = nullptr;
        SliderRow* iconSpacing = nullptr;
        ChoiceRow* alignment = nullptr;
        SliderRow* hoverZoom = nullptr;
        SliderRow* highlight = nullptr;
        SliderRow* tileRadius = nullptr;
        ChoiceRow* indicator = nullptr;
        SliderRow* indicatorGap = nullptr;
        ColourRow* indicatorColour = nullptr;
        ToggleRow* followsWallpaper = nullptr;
        ToggleRow* showClock = nullptr;
        QList<QPushButton*> clockLooks;
        SliderRow* clockSize = nullptr;
        MenuRow* clockFont = nullptr;
        ToggleRow* seconds = nullptr;
        ToggleRow* hours24 = nullptr;
        ToggleRow* date = nullptr;
        QLineEdit* dateFormat = nullptr;
        ToggleRow* startButton = nullptr;
        ToggleRow* downloads = nullptr;
        MenuRow* trash = nullptr;
        MenuRow* nowPlaying = nullptr;
        QWidget* nowPlayingPreview = nullptr;
        QPushButton* saveLook = nullptr;
    };
    const Controls& controls() const { return m_c; }

    // The ready clock looks by title.
    static QStringList clockLookTitles();
    void applyClockLook(int index);

signals:
    void backRequested();
    void saveIntoRequested();
    void saveAsNewRequested();
    void discardRequested();
    // "Save the bar as it looks now."
    void newStyleRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void edit(const std::function<void(TaskbarSettings&)>& change);
    void sync();
    void syncSaveBar();
    QWidget* panel(const QString& id);

    SettingsStore& m_store;
    LibraryStore* m_library;
    BarHold m_hold;
    Controls m_c;
    MiniBar* m_preview;
    QLabel* m_title;
    QListWidget* m_sections;
    QStackedWidget* m_panels;
    QWidget* m_saveBar;
    QLabel* m_saveText;
    QPushButton* m_save;
    QPushButton* m_discard;
    QPushButton* m_back;
    QLabel* m_styleName = nullptr;
    QLabel* m_styleState = nullptr;
};
