#include "app/ui/off_banner.h"

#include "app/parts_model.h"
#include "app/ui/status_dot.h"
#include "app/ui/app_style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

OffBanner::OffBanner(Part part, PartsModel& model, QWidget* parent)
    : QFrame(parent)
    , m_part(std::move(part))
    , m_model(model)
    , m_text(new QLabel(this))
    , m_button(new QPushButton(this))
{
    AppStyle::mark(this, "banner");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(16, 10, 12, 10);
    row->setSpacing(10);
    row->addWidget(new StatusDot(this), 0, Qt::AlignVCenter);
    row->addWidget(m_text, 1);
    row->addWidget(m_button);
    m_text->setFont(AppStyle::uiFont(10));
    m_text->setText(m_part.name + QStringLiteral(" isn't running. Changes are saved and apply when it starts."));
    m_text->setWordWrap(true);
    AppStyle::mark(m_button, "primary");
    connect(m_button, &QPushButton::clicked, this, [this] {
        if (m_model.isOn(m_part))
            m_model.start(m_part);
        else
            m_model.set(m_part, true);
    });
    connect(&m_model, &PartsModel::statusChanged, this, &OffBanner::sync);
    sync();
}

QString OffBanner::text() const
{
    return m_text->text();
}

void OffBanner::sync()
{
    m_button->setText(m_model.isOn(m_part) ? QStringLiteral("Start now") : QStringLiteral("Turn on"));
}
