#include "clock/ui/clock_page.h"

#include "brand/brand.h"
#include "brand/brand_accent.h"
#include "brand/ui/page_style.h"
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

// The page's own controls besides the shared ones: positions and the backdrop button.
QString pageStyle()
{
    const QString line = PageStyle::css(Brand::line());
    const QString text = PageStyle::css(Brand::text());
    const QString muted = PageStyle::css(Brand::muted());
    return PageStyle::editingControls()
        + QStringLiteral(
              "QPushButton[role=\"position\"] { background: transparent; color: %3; border: 1px solid %1; border-radius: 6px; padding: 4px 8px; }"
              "QPushButton[role=\"position\"]:checked { background: %1; color: %2; }"
              "QToolButton[role=\"previewOn\"] { color: %2; background: transparent; border: 1px solid %1; border-radius: 6px; padding: 3px 10px; }")
              .arg(line, text, muted);
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

ClockPage::~ClockPage() = default;

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
    if (m_dialog.isShowing())
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
    m_dialog.present(dialog);
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
