#include "app/ui/setup_permissions_step.h"

#include "app/setup_model.h"
#include "app/setup_texts.h"
#include "app/ui/app_style.h"
#include "app/ui/setup_parts.h"
#include "brand/brand.h"
#include "platform/desktop_words.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// One permission: what it is for, what happens without it, how to grant it; on the right either
// "Allowed" or the button that opens the settings.
QFrame* permissionRow(const SetupTexts::Permission& permission, QWidget* parent, QPushButton** button, QLabel** allowed)
{
    auto* row = new QFrame(parent);
    AppStyle::mark(row, "box");
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(16, 12, 16, 12);
    line->setSpacing(14);
    line->addWidget(SetupParts::icon(permission.icon, row), 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    texts->addWidget(SetupParts::heading(permission.title, row));
    texts->addWidget(SetupParts::paragraph(permission.why, row, true));
    for (const QString& text : {permission.without, permission.how}) {
        auto* label = SetupParts::paragraph(text, row);
        label->setFont(AppStyle::uiFont(9.5));
        texts->addWidget(label);
    }
    line->addLayout(texts, 1);
    *button = new QPushButton(DesktopWords::current().fill(u"Open {settingsApp}"), row);
    (*button)->setAccessibleName(permission.title);
    *allowed = new QLabel(QStringLiteral("Allowed"), row);
    SetupParts::setColour(*allowed, Brand::ok());
    line->addWidget(*button, 0, Qt::AlignVCenter);
    line->addWidget(*allowed, 0, Qt::AlignVCenter);
    return row;
}

} // namespace

SetupPermissionsStep::SetupPermissionsStep(SetupModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_rows(new QWidget(this))
    , m_waiting(new QWidget(this))
    , m_state(SetupParts::heading(QString(), m_waiting))
    , m_stateDetail(SetupParts::paragraph(QStringLiteral("Try again, or skip this step for now."), m_waiting))
    , m_tryAgain(new QPushButton(QStringLiteral("Try Again"), m_waiting))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(SetupParts::title(SetupTexts::title(SetupStep::permissions), this));
    layout->addWidget(SetupParts::paragraph(SetupTexts::intro(SetupStep::permissions), this));
    layout->addSpacing(10);

    auto* rows = new QVBoxLayout(m_rows);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(10);
    rows->addWidget(permissionRow(SetupTexts::accessibility(), m_rows, &m_accessButton, &m_accessAllowed));
    rows->addWidget(permissionRow(SetupTexts::fullDiskAccess(), m_rows, &m_diskButton, &m_diskAllowed));
    layout->addWidget(m_rows);

    auto* waiting = new QVBoxLayout(m_waiting);
    waiting->setContentsMargins(0, 0, 0, 0);
    waiting->setSpacing(6);
    waiting->addWidget(m_state);
    waiting->addWidget(m_stateDetail);
    waiting->addWidget(m_tryAgain, 0, Qt::AlignLeft);
    layout->addWidget(m_waiting);
    layout->addStretch(1);

    connect(m_accessButton, &QPushButton::clicked, this, [this] { m_model.grantAccessibility(); });
    connect(m_diskButton, &QPushButton::clicked, this, [this] { m_model.grantFullDiskAccess(); });
    connect(m_tryAgain, &QPushButton::clicked, this, [this] { m_model.retryTaskbar(); });
    connect(&m_model, &SetupModel::changed, this, &SetupPermissionsStep::refresh);
    refresh();
}

void SetupPermissionsStep::refresh()
{
    const SetupModel::TaskbarState state = m_model.taskbarState();
    m_rows->setVisible(state == SetupModel::TaskbarState::running);
    m_waiting->setVisible(state != SetupModel::TaskbarState::running);
    const bool late = state == SetupModel::TaskbarState::late;
    m_state->setText(late ? QStringLiteral("Taskbar hasn't started.") : QStringLiteral("Starting Taskbar…"));
    m_stateDetail->setVisible(late);
    m_tryAgain->setVisible(late);

    const bool access = m_model.accessibilityAllowed();
    m_accessAllowed->setVisible(access);
    m_accessButton->setVisible(!access);
    const bool disk = m_model.fullDiskAccessAllowed();
    m_diskAllowed->setVisible(disk);
    m_diskButton->setVisible(!disk);
}
