#include "app/ui/part_row.h"

#include "app/navigation.h"
#include "app/parts_model.h"
#include "app/ui/app_style.h"
#include "app/ui/part_status_view.h"
#include "brand/ui/toggle_switch.h"
#include "platform/bundle.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int iconSize = 36;

// A part's program carries no icon of its own on this platform: the parts wear the app's.
QPixmap iconOf(const Part& part)
{
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = QFileIconProvider().icon(QFileInfo(Bundle::agentExecutable(part.id)));
    return icon.pixmap(iconSize, iconSize);
}
} // namespace

PartRow::PartRow(Part part, PartsModel& model, Navigation& nav, QWidget* parent)
    : QWidget(parent)
    , m_part(std::move(part))
    , m_model(model)
    , m_status(new PartStatusView(m_part, model, this))
    , m_open(new QPushButton(QStringLiteral("Open"), this))
    , m_toggle(new ToggleSwitch(this))
{
    auto* icon = new QLabel(this);
    icon->setFixedSize(iconSize, iconSize);
    icon->setPixmap(iconOf(m_part));
    icon->setScaledContents(true);

    auto* name = new QLabel(m_part.name, this);
    name->setFont(AppStyle::uiFont(11, QFont::DemiBold));
    auto* summary = new QLabel(m_part.summary, this);
    summary->setFont(AppStyle::uiFont(9.5));
    summary->setWordWrap(true);
    AppStyle::mark(summary, "muted");

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(name);
    texts->addWidget(summary);
    texts->addSpacing(2);
    texts->addWidget(m_status);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(16, 12, 16, 12);
    row->setSpacing(14);
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(texts, 1);
    row->addWidget(m_open, 0, Qt::AlignVCenter);
    row->addWidget(m_toggle, 0, Qt::AlignVCenter);

    m_toggle->setAccessibleName(m_part.name);
    connect(m_open, &QPushButton::clicked, this, [this, &nav] { nav.setPage(pageOf(m_part)); });
    // The switch asks; the model decides. It shows the real state again after every answer
    // (a failed register, or the Dock question, leaves the part off).
    connect(m_toggle, &QAbstractButton::clicked, this, [this](bool on) {
        m_model.set(m_part, on);
        sync();
    });
    connect(&m_model, &PartsModel::statusChanged, this, &PartRow::sync);
    sync();
}

void PartRow::sync()
{
    m_toggle->setChecked(m_model.isOn(m_part));
}
