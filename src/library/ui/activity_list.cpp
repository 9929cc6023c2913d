#include "library/ui/activity_list.h"

#include "brand/brand.h"
#include "brand/brand_font.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QStyle>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

ActivityCard::ActivityCard(QWidget* parent)
    : QFrame(parent)
    , m_title(new QLabel(this))
    , m_detail(new QLabel(this))
    , m_state(new QLabel(this))
    , m_bar(new QProgressBar(this))
    , m_percent(new QLabel(this))
{
    setProperty("role", QStringLiteral("box"));
    m_title->setFont(BrandFont::ui(10, QFont::DemiBold));
    m_title->setTextFormat(Qt::PlainText);
    m_detail->setFont(BrandFont::ui(9.5));
    m_detail->setTextFormat(Qt::PlainText);
    m_detail->setWordWrap(true);
    m_detail->setProperty("role", QStringLiteral("muted"));
    m_state->setFont(BrandFont::label(8));
    m_state->setProperty("role", QStringLiteral("failure"));
    m_bar->setTextVisible(false);
    m_bar->setRange(0, 1000);
    m_bar->setFixedHeight(4);
    m_bar->setStyleSheet(QStringLiteral("QProgressBar { background: %1; border: none; border-radius: 2px; }"
                                        "QProgressBar::chunk { background: %2; border-radius: 2px; }")
                             .arg(Brand::line().name(), Brand::text().name()));
    m_percent->setFont(BrandFont::mono(9));
    m_percent->setProperty("role", QStringLiteral("muted"));
    m_percent->setMinimumWidth(QFontMetrics(m_percent->font()).horizontalAdvance(QStringLiteral("100%")));
    m_percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* top = new QHBoxLayout;
    top->setSpacing(8);
    top->addWidget(m_title, 1);
    top->addWidget(m_state);
    auto* progress = new QHBoxLayout;
    progress->setSpacing(10);
    progress->addWidget(m_bar, 1);
    progress->addWidget(m_percent);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 10, 14, 10);
    layout->setSpacing(4);
    layout->addLayout(top);
    layout->addWidget(m_detail);
    layout->addLayout(progress);
}

QString ActivityCard::percentText(double fraction)
{
    // Truncated, so a job at 99.7 % does not claim to be done.
    return QString::number(int(std::floor(std::clamp(fraction, 0.0, 1.0) * 100))) + QLatin1Char('%');
}

void ActivityCard::setActivity(const Activity& activity)
{
    m_activity = activity;
    m_title->setText(activity.title);
    m_detail->setText(activity.detail);
    const bool running = activity.state == Activity::State::running;
    const bool failed = activity.state == Activity::State::failed;
    m_state->setText(failed ? QStringLiteral("FAILED") : QString());
    m_state->setVisible(failed);
    m_detail->setProperty("role", failed ? QStringLiteral("failure") : QStringLiteral("muted"));
    m_detail->style()->unpolish(m_detail);
    m_detail->style()->polish(m_detail);
    m_bar->setVisible(running);
    m_percent->setVisible(running && activity.progress.has_value());
    if (running) {
        if (activity.progress) {
            m_bar->setRange(0, 1000);
            m_bar->setValue(int(std::clamp(*activity.progress, 0.0, 1.0) * 1000));
            m_percent->setText(percentText(*activity.progress));
        } else {
            m_bar->setRange(0, 0); // indeterminate
        }
    }
}

ActivityList::ActivityList(QWidget* parent)
    : QWidget(parent)
    , m_layout(new QVBoxLayout(this))
    , m_clear(new QPushButton(QStringLiteral("Clear"), this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(8);
    m_layout->addWidget(m_clear, 0, Qt::AlignRight);
    connect(m_clear, &QPushButton::clicked, this, &ActivityList::clearRequested);
    setActivities({}, {});
}

void ActivityList::setActivities(const QList<Activity>& own, const QList<Activity>& engine)
{
    const QList<Activity> all = own + engine;
    // Cards are reused in order; progress ticks only change texts and bars.
    while (m_cards.size() > all.size())
        delete m_cards.takeLast();
    while (m_cards.size() < all.size()) {
        auto* card = new ActivityCard(this);
        m_layout->insertWidget(int(m_cards.size()), card);
        m_cards << card;
    }
    for (int i = 0; i < all.size(); ++i)
        m_cards[i]->setActivity(all[i]);
    bool ownFinished = !own.isEmpty();
    for (const Activity& activity : own)
        ownFinished = ownFinished && activity.state != Activity::State::running;
    m_clear->setVisible(ownFinished);
    setVisible(!all.isEmpty());
}
