#include "app/ui/setup_changes_step.h"

#include "app/setup_model.h"
#include "app/setup_texts.h"
#include "app/ui/app_style.h"
#include "app/ui/setup_parts.h"
#include "brand/ui/toggle_switch.h"
#include "core/part.h"
#include "platform/desktop_words.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

SetupChangesStep::SetupChangesStep(SetupModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_note(new QFrame(this))
    , m_itsOff(new QPushButton(QStringLiteral("It's Off"), m_note))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(SetupParts::title(SetupTexts::title(SetupStep::changes), this));
    layout->addWidget(SetupParts::paragraph(SetupTexts::intro(SetupStep::changes), this));
    layout->addSpacing(10);

    auto* box = new QFrame(this);
    AppStyle::mark(box, "box");
    auto* rows = new QVBoxLayout(box);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    bool first = true;
    for (const Part& part : Part::all()) {
        if (!first) {
            auto* rule = new QFrame(box);
            AppStyle::mark(rule, "rule");
            rows->addWidget(rule);
        }
        first = false;
        auto* row = new QWidget(box);
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(16, 12, 16, 12);
        line->setSpacing(14);
        line->addWidget(SetupParts::icon(SetupTexts::partIcon(part.id), row), 0, Qt::AlignTop);
        auto* texts = new QVBoxLayout;
        texts->setSpacing(2);
        texts->addWidget(SetupParts::heading(SetupTexts::partTitle(part.id), row));
        auto* detail = SetupParts::paragraph(QString(), row);
        detail->setFont(AppStyle::uiFont(9.5));
        texts->addWidget(detail);
        line->addLayout(texts, 1);
        auto* toggle = new ToggleSwitch(row);
        toggle->setAccessibleName(part.name);
        line->addWidget(toggle, 0, Qt::AlignVCenter);
        rows->addWidget(row);
        m_toggles.insert(part.id, toggle);
        m_details.insert(part.id, detail);
        connect(toggle, &QAbstractButton::clicked, this, [this, part](bool on) { m_model.choose(part, on); });
    }
    layout->addWidget(box);

    AppStyle::mark(m_note, "box");
    auto* note = new QHBoxLayout(m_note);
    note->setContentsMargins(16, 12, 16, 12);
    note->setSpacing(14);
    note->addWidget(SetupParts::icon(QStringLiteral("clock.badge.exclamationmark"), m_note), 0, Qt::AlignTop);
    auto* noteTexts = new QVBoxLayout;
    noteTexts->setSpacing(4);
    noteTexts->addWidget(SetupParts::heading(SetupTexts::systemClockTitle(), m_note));
    auto* noteText = SetupParts::paragraph(SetupTexts::systemClockText(), m_note);
    noteText->setFont(AppStyle::uiFont(9.5));
    noteTexts->addWidget(noteText);
    auto* buttons = new QHBoxLayout;
    auto* open = new QPushButton(DesktopWords::current().fill(u"Open {settingsApp}"), m_note);
    buttons->addWidget(open);
    buttons->addWidget(m_itsOff);
    buttons->addStretch(1);
    noteTexts->addSpacing(4);
    noteTexts->addLayout(buttons);
    note->addLayout(noteTexts, 1);
    layout->addSpacing(6);
    layout->addWidget(m_note);
    layout->addStretch(1);

    connect(open, &QPushButton::clicked, this, [this] { m_model.openSystemClockSettings(); });
    connect(m_itsOff, &QPushButton::clicked, this, [this] { m_model.systemClockIsOff(); });
    connect(&m_model, &SetupModel::changed, this, &SetupChangesStep::refresh);
    refresh();
}

void SetupChangesStep::refresh()
{
    for (const Part& part : Part::all()) {
        m_toggles.value(part.id)->setChecked(m_model.isChosen(part));
        m_details.value(part.id)->setText(m_model.detail(part));
    }
    m_note->setVisible(m_model.showsSystemClockNote());
}
