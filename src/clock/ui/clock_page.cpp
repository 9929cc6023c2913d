#include "clock/ui/clock_page.h"

#include "brand/brand.h"
#include "brand/brand_accent.h"
#include "clock/style_store.h"
#include "clock/ui/backdrop_choice.h"
#include "clock/ui/clock_editor.h"
#include "clock/ui/clock_overview.h"
#include "clock/ui/preset_dialogs.h"

#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

QString css(const QColor& color)
{
    return QStringLiteral("rgba(%1, %2, %3, %4)").arg(color.red()).arg(color.green()).arg(color.blue()).arg(color.alphaF(), 0, 'f', 3);
}

// The page's own controls: cards, segmented choices and the backdrop button.
QString pageStyle()
{
    const QString line = css(Brand::line());
    const QString raised = css(Brand::raised());
    const QString text = css(Brand::text());
    const QString muted = css(Brand::muted());
    const QString base = css(Brand::base());
    return QStringLiteral(
        "QFrame[role=\"presetCard\"] { background: %1; border: 1px solid %2; border-radius: 8px; }"
        "QFrame[role=\"presetCard\"][selected=\"true\"] { border: 1px solid %3; }"
        "QFrame[role=\"presetCard\"] QToolButton { color: %4; border: none; font-size: 15px; }"
        "QFrame[role=\"presetCard\"] QToolButton:hover { color: %3; }"
        "QPushButton[role=\"segment\"], QPushButton[role=\"segmentFirst\"], QPushButton[role=\"segmentLast\"] {"
        " background: transparent; color: %4; border: 1px solid %2; border-radius: 0; padding: 4px 12px; }"
        "QPushButton[role=\"segmentFirst\"] { border-top-left-radius: 6px; border-bottom-left-radius: 6px; }"
        "QPushButton[role=\"segmentLast\"] { border-top-right-radius: 6px; border-bottom-right-radius: 6px; }"
        "QPushButton[role=\"segment\"]:checked, QPushButton[role=\"segmentFirst\"]:checked, QPushButton[role=\"segmentLast\"]:checked {"
        " background: %2; color: %3; }"
        "QPushButton[role=\"position\"] { background: transparent; color: %4; border: 1px solid %2; border-radius: 6px; padding: 4px 8px; }"
        "QPushButton[role=\"position\"]:checked { background: %2; color: %3; }"
        "QToolButton[role=\"previewOn\"] { color: %3; background: transparent; border: 1px solid %2; border-radius: 6px; padding: 3px 10px; }"
        "QLineEdit, QComboBox { background: %5; color: %3; border: 1px solid %2; border-radius: 6px; padding: 4px 8px; }"
        "QComboBox::drop-down { border: none; width: 20px; }"
        "QComboBox::down-arrow { width: 8px; height: 8px; }"
        "QSlider::groove:horizontal { height: 4px; background: %2; border-radius: 2px; }"
        "QSlider::sub-page:horizontal { background: %4; border-radius: 2px; }"
        "QSlider::handle:horizontal { background: %3; width: 14px; margin: -5px 0; border-radius: 7px; }")
        .arg(raised, line, text, muted, base);
}

} // namespace

ClockPage::ClockPage(StyleStore& store, LibraryStore* library, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_library(library)
    , m_backdrop(new BackdropChoice(store, library, this))
    , m_stack(new QStackedWidget(this))
{
    setStyleSheet(pageStyle());
    m_overview = new ClockOverview(store, library, m_stack);
    m_editor = new ClockEditor(store, *m_backdrop, m_stack);
    m_stack->addWidget(m_overview);
    m_stack->addWidget(m_editor);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stack);

    connect(m_overview, &ClockOverview::newPresetRequested, this, &ClockPage::askNewPreset);
    connect(m_overview, &ClockOverview::editClockRequested, this, [this] { openEditor(ClockTab::time); });
    connect(m_overview, &ClockOverview::editPresetRequested, this, [this](const QUuid& id) {
        for (const NamedStyle& preset : m_store.customPresets()) {
            if (preset.id == id) {
                m_store.applyPreset(preset);
                openEditor(ClockTab::time);
                return;
            }
        }
    });
    connect(m_overview, &ClockOverview::renameRequested, this, &ClockPage::askRename);
    connect(m_overview, &ClockOverview::deleteRequested, this, &ClockPage::askDelete);
    connect(m_editor, &ClockEditor::backRequested, this, &ClockPage::back);
    connect(m_editor, &ClockEditor::saveAsRequested, this, &ClockPage::askSaveAs);

    connect(m_backdrop, &BackdropChoice::changed, this, &ClockPage::syncBackdrop);
    connect(&m_store, &StyleStore::styleChanged, this, &ClockPage::leaveGuardChanged);
    connect(&m_store, &StyleStore::activePresetIDChanged, this, &ClockPage::leaveGuardChanged);
    connect(&m_store, &StyleStore::customPresetsChanged, this, &ClockPage::leaveGuardChanged);
    syncBackdrop();
}

ClockPage::~ClockPage()
{
    delete m_dialog;
}

void ClockPage::syncBackdrop()
{
    // The cards show the default backdrop: the picture chosen for previews, else the live wallpaper.
    m_overview->setBackdrop(m_backdrop->defaultImage());
}

void ClockPage::setRunning(bool running)
{
    m_overview->setRunning(running);
}

bool ClockPage::isEditing() const
{
    return m_stack->currentWidget() == m_editor;
}

ClockTab ClockPage::tab() const
{
    return m_editor->tab();
}

void ClockPage::openEditor(ClockTab tab)
{
    m_editor->setTab(tab);
    m_stack->setCurrentWidget(m_editor);
    emit leaveGuardChanged();
}

bool ClockPage::openTab(const QString& name)
{
    const std::optional<ClockTab> tab = ClockChoices::tabNamed(name);
    if (!tab)
        return false;
    openEditor(*tab);
    return true;
}

void ClockPage::closeEditor()
{
    m_stack->setCurrentWidget(m_overview);
    emit leaveGuardChanged();
}

void ClockPage::back()
{
    if (mayLeave([this] { closeEditor(); }))
        closeEditor();
}

void ClockPage::reselect()
{
    if (isEditing())
        back();
    else
        m_overview->scrollToTop();
}

bool ClockPage::needsLeaveGuard() const
{
    return isEditing() && m_store.activePresetEdited();
}

bool ClockPage::mayLeave(std::function<void()> leave)
{
    if (!needsLeaveGuard())
        return true;
    if (m_dialog && m_dialog->isVisible())
        return false;
    const auto active = m_store.activePreset();
    QMessageBox* box = PresetQuestions::leaveEdited(active ? active->name : QString(), this);
    QAbstractButton* save = PresetQuestions::button(box, QStringLiteral("Save"));
    QAbstractButton* dontSave = PresetQuestions::button(box, QStringLiteral("Don't Save"));
    connect(box, &QMessageBox::finished, this, [this, box, save, dontSave, leave = std::move(leave)] {
        QAbstractButton* clicked = box->clickedButton();
        if (clicked == save) {
            m_store.saveCurrentToActivePreset();
        } else if (clicked == dontSave) {
            if (const auto saved = m_store.activePreset())
                m_store.applyPreset(*saved);
        } else {
            return;
        }
        leave();
    });
    present(box);
    return false;
}

void ClockPage::present(QDialog* dialog)
{
    delete m_dialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_dialog = dialog;
    dialog->open();
}

void ClockPage::askNewPreset()
{
    NameDialog* dialog = NameDialog::newPreset(this);
    connect(dialog, &QDialog::accepted, this, [this, dialog] { m_store.saveCurrentAsPreset(dialog->name()); });
    present(dialog);
}

void ClockPage::askSaveAs()
{
    NameDialog* dialog = NameDialog::saveAs(this);
    connect(dialog, &QDialog::accepted, this, [this, dialog] { m_store.saveCurrentAsPreset(dialog->name()); });
    present(dialog);
}

void ClockPage::askRename(const QUuid& id)
{
    for (const NamedStyle& preset : m_store.customPresets()) {
        if (preset.id != id)
            continue;
        NameDialog* dialog = NameDialog::rename(preset.name, this);
        connect(dialog, &QDialog::accepted, this, [this, dialog, id] { m_store.renamePreset(id, dialog->field()->text()); });
        present(dialog);
        return;
    }
}

void ClockPage::askDelete(const QUuid& id)
{
    for (const NamedStyle& preset : m_store.customPresets()) {
        if (preset.id != id)
            continue;
        QMessageBox* box = PresetQuestions::deletePreset(preset.name, preset.builtIn.has_value(), this);
        QAbstractButton* remove = PresetQuestions::button(box, QStringLiteral("Delete"));
        connect(box, &QMessageBox::finished, this, [this, box, remove, id] {
            if (box->clickedButton() == remove)
                m_store.deletePreset(id);
        });
        present(box);
        return;
    }
}
