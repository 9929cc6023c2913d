#include "app/ui/setup_sheet.h"

#include "app/app_services.h"
#include "app/setup_model.h"
#include "app/ui/app_style.h"
#include "app/ui/setup_changes_step.h"
#include "app/ui/setup_done_step.h"
#include "app/ui/setup_look_step.h"
#include "app/ui/setup_permissions_step.h"
#include "app/ui/view_registry.h"
#include "brand/brand.h"
#include "core/settings_sync.h"
#include "core/zentrove.h"
#include "taskbar/dock_apps.h"
#include "taskbar/settings_store.h"
#include "wallpaper/system_wallpaper.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

SetupSheet::SetupSheet(SetupModel* model, StyleStore* clocks, SettingsStore* taskbar, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_counter(new QLabel(this))
    , m_stack(new QStackedWidget(this))
    , m_look(new SetupLookStep(*model, clocks, taskbar, m_stack))
    , m_changes(new SetupChangesStep(*model, m_stack))
    , m_permissions(new SetupPermissionsStep(*model, m_stack))
    , m_done(new SetupDoneStep(*model, m_stack))
    , m_left(new QPushButton(this))
    , m_right(new QPushButton(this))
{
    model->setParent(this);
    setMinimumSize(780, 580);
    const int padding = int(Brand::pagePadding);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(padding, padding - 6, padding, padding - 6);
    layout->setSpacing(10);

    QFont counterFont = AppStyle::uiFont(8.5, QFont::DemiBold);
    counterFont.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    m_counter->setFont(counterFont);
    AppStyle::mark(m_counter, "muted");
    layout->addWidget(m_counter);

    for (QWidget* step : {static_cast<QWidget*>(m_look), static_cast<QWidget*>(m_changes),
                          static_cast<QWidget*>(m_permissions), static_cast<QWidget*>(m_done)})
        m_stack->addWidget(step);
    layout->addWidget(m_stack, 1);

    auto* rule = new QFrame(this);
    AppStyle::mark(rule, "rule");
    layout->addWidget(rule);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_left);
    buttons->addStretch(1);
    AppStyle::mark(m_right, "primary");
    m_right->setDefault(true);
    buttons->addWidget(m_right);
    layout->addLayout(buttons);

    connect(m_left, &QPushButton::clicked, this, [this] {
        if (m_model->step() == SetupStep::look)
            m_model->notNow();
        else
            m_model->back();
    });
    connect(m_right, &QPushButton::clicked, this, [this] { m_model->next(); });
    connect(m_model, &SetupModel::stepChanged, this, &SetupSheet::syncStep);
    connect(m_model, &SetupModel::changed, this, &SetupSheet::syncStep);
    syncStep();
}

void SetupSheet::syncStep()
{
    const SetupStep step = m_model->step();
    m_stack->setCurrentIndex(int(step));
    m_counter->setText(m_model->counterText());
    m_left->setText(step == SetupStep::look ? QStringLiteral("Not now") : QStringLiteral("Back"));
    m_left->setVisible(step != SetupStep::done);
    m_right->setText(step == SetupStep::done ? QStringLiteral("Done") : QStringLiteral("Continue"));
}

QWidget* SetupSheet::make(const ViewContext& context, std::function<void()> close, QWidget* parent)
{
    SetupInputs inputs;
    inputs.library = context.services.library->libraryStore();
    inputs.taskbar = context.services.taskbarStore.get();
    inputs.sendToTaskbar = [](const QString& command) { SettingsSync::send(command, Zentrove::taskbarID()); };
    // Read once: the dock's list does not change while the sheet is up.
    inputs.dockAppsKnown = [known = DockApps::layout().has_value()] { return known; };
    // The desktop's wallpaper store is looked at again at most every few seconds.
    inputs.wallpaperStoreSetUp = [checked = std::make_shared<QElapsedTimer>(), setUp = std::make_shared<bool>(true)] {
        if (!checked->isValid() || checked->hasExpired(5000)) {
            *setUp = SystemWallpaper::isSetUp();
            checked->start();
        }
        return *setUp;
    };
    auto* model = new SetupModel(context.model, inputs, [close = std::move(close)](bool) { close(); },
                                 context.services.setup->firstStep());
    // Escape, the window's close button and quitting close the sheet around the model: leaving
    // that way is leaving the setup as "Not now" is.
    if (auto* dialog = qobject_cast<QDialog*>(parent))
        QObject::connect(dialog, &QDialog::finished, model, &SetupModel::dismissed);
    return new SetupSheet(model, context.services.clockStore.get(), context.services.taskbarStore.get(), parent);
}
