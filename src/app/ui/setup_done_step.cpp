#include "app/ui/setup_done_step.h"

#include "app/parts_model.h"
#include "app/setup_model.h"
#include "app/setup_texts.h"
#include "app/ui/app_style.h"
#include "app/ui/setup_parts.h"
#include "brand/brand.h"
#include "brand/brand_accent.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

SetupDoneStep::SetupDoneStep(SetupModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_headline(SetupParts::title(QString(), this))
    , m_text(SetupParts::paragraph(QString(), this))
    , m_late(new QWidget(this))
    , m_lateRows(new QVBoxLayout)
    , m_tryAgain(new QPushButton(QStringLiteral("Try Again"), m_late))
    , m_progress(SetupParts::paragraph(QString(), this, true))
    , m_lockNote(new QFrame(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(m_headline);
    layout->addWidget(m_text);
    layout->addSpacing(10);

    auto* late = new QVBoxLayout(m_late);
    late->setContentsMargins(0, 0, 0, 0);
    late->setSpacing(10);
    m_lateRows->setSpacing(10);
    late->addLayout(m_lateRows);
    late->addWidget(m_tryAgain, 0, Qt::AlignLeft);
    layout->addWidget(m_late);
    layout->addWidget(m_progress);

    AppStyle::mark(m_lockNote, "box");
    auto* note = new QHBoxLayout(m_lockNote);
    note->setContentsMargins(16, 12, 16, 12);
    note->addWidget(SetupParts::heading(SetupTexts::lockScreenSetupTitle(), m_lockNote), 1);
    auto* open = new QPushButton(QStringLiteral("Open Wallpaper Settings"), m_lockNote);
    note->addWidget(open);
    layout->addWidget(m_lockNote);
    layout->addStretch(1);

    connect(open, &QPushButton::clicked, this, [this] { m_model.openWallpaperSettings(); });
    connect(m_tryAgain, &QPushButton::clicked, this, [this] { m_model.retryLate(); });
    connect(&m_model, &SetupModel::changed, this, &SetupDoneStep::refresh);
    refresh();
}

void SetupDoneStep::refresh()
{
    const SetupModel::Outcome outcome = m_model.outcome();
    switch (outcome) {
    case SetupModel::Outcome::nothingOn:
        m_headline->setText(SetupTexts::nothingOnTitle());
        m_text->setText(SetupTexts::nothingOnText());
        break;
    case SetupModel::Outcome::someLate:
        m_headline->setText(SetupTexts::lateTitle());
        m_text->setText(SetupTexts::lateText());
        break;
    case SetupModel::Outcome::started:
        m_headline->setText(SetupTexts::startedTitle());
        m_text->setText(SetupTexts::startedText());
        break;
    }

    // The late parts' rows are made again each time: there are at most three.
    while (QLayoutItem* item = m_lateRows->takeAt(0)) {
        // Later: a row's own button may be the one being clicked.
        if (QWidget* row = item->widget()) {
            row->hide();
            row->deleteLater();
        }
        delete item;
    }
    m_late->setVisible(outcome == SetupModel::Outcome::someLate);
    if (outcome == SetupModel::Outcome::someLate) {
        for (const Part& part : m_model.lateParts()) {
            if (m_model.parts().isRunning(part))
                continue;
            auto* row = new QFrame(m_late);
            AppStyle::mark(row, "box");
            auto* lines = new QVBoxLayout(row);
            lines->setContentsMargins(16, 12, 16, 12);
            lines->setSpacing(4);
            lines->addWidget(SetupParts::heading(SetupTexts::partLate(part.name), row));
            if (m_model.needsApproval(part)) {
                lines->addWidget(SetupParts::paragraph(SetupTexts::needsApproval(), row));
                auto* open = new QPushButton(SetupTexts::openLoginItems(), row);
                connect(open, &QPushButton::clicked, this, [this, part] { m_model.openLoginItems(part); });
                lines->addWidget(open, 0, Qt::AlignLeft);
            }
            if (const QString reason = m_model.standDownReason(part); !reason.isEmpty())
                lines->addWidget(SetupParts::paragraph(reason, row));
            m_lateRows->addWidget(row);
        }
    }

    const SetupModel::Progress progress = m_model.lockScreenProgress();
    m_progress->setVisible(!progress.text.isEmpty());
    m_progress->setText(progress.text);
    SetupParts::setColour(m_progress, progress.failed ? Brand::failure() : BrandAccent::shared().color());
    m_lockNote->setVisible(m_model.showsLockScreenSetupNote());
}
