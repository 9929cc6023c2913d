#include "app/ui/part_status_view.h"

#include "app/parts_model.h"
#include "app/ui/status_dot.h"
#include "app/ui/app_style.h"
#include "brand/brand.h"
#include "brand/brand_accent.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

std::optional<QColor> colorOf(StatusLine::Dot dot)
{
    switch (dot) {
    case StatusLine::Dot::unlit: return std::nullopt;
    case StatusLine::Dot::accent: return BrandAccent::shared().color();
    case StatusLine::Dot::ok: return Brand::ok();
    case StatusLine::Dot::warning: return Brand::warning();
    case StatusLine::Dot::failure: return Brand::failure();
    }
    return std::nullopt;
}

} // namespace

PartStatusView::PartStatusView(Part part, PartsModel& model, QWidget* parent)
    : QWidget(parent)
    , m_part(std::move(part))
    , m_model(model)
    , m_dot(new StatusDot(this))
    , m_text(new QLabel(this))
    , m_action(new QPushButton(this))
    , m_detail(new QLabel(this))
{
    auto* line = new QHBoxLayout;
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(6);
    line->addWidget(m_dot, 0, Qt::AlignVCenter);
    line->addWidget(m_text);
    line->addWidget(m_action);
    line->addStretch(1);
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(4);
    stack->addLayout(line);
    stack->addWidget(m_detail);

    m_text->setFont(AppStyle::uiFont(9.5));
    AppStyle::mark(m_text, "muted");
    m_detail->setWordWrap(true);
    m_detail->setFont(AppStyle::uiFont(9));
    AppStyle::mark(m_detail, "muted");
    AppStyle::mark(m_action, "link");
    m_action->setCursor(Qt::PointingHandCursor);
    m_action->setFont(AppStyle::uiFont(9.5));
    connect(m_action, &QPushButton::clicked, this, [this] { m_model.perform(m_model.statusLine(m_part).action, m_part); });

    connect(&m_model, &PartsModel::statusChanged, this, &PartStatusView::update);
    connect(&m_model, &PartsModel::runningChanged, this, &PartStatusView::update);
    connect(&BrandAccent::shared(), &BrandAccent::hexChanged, this, &PartStatusView::update);
    update();
}

void PartStatusView::update()
{
    const StatusLine line = m_model.statusLine(m_part);
    m_dot->setLit(colorOf(line.dot));
    m_text->setText(line.text);
    m_action->setText(StatusLine::actionTitle(line.action));
    m_action->setVisible(line.action != StatusLine::Action::none);
    m_detail->setText(line.detail);
    m_detail->setVisible(!line.detail.isEmpty());
}

QString PartStatusView::text() const
{
    return m_text->text();
}

QString PartStatusView::detail() const
{
    return m_detail->isVisibleTo(const_cast<PartStatusView*>(this)) ? m_detail->text() : QString();
}

QString PartStatusView::actionTitle() const
{
    return m_action->isVisibleTo(const_cast<PartStatusView*>(this)) ? m_action->text() : QString();
}
