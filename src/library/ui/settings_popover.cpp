#include "library/ui/settings_popover.h"

#include "brand/brand.h"
#include "brand/brand_font.h"
#include "brand/ui/toggle_switch.h"
#include "platform/desktop_words.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QApplication>
#include <QGraphicsDropShadowEffect>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace {

QLabel* heading(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(BrandFont::ui(9.5, QFont::DemiBold));
    label->setProperty("role", QStringLiteral("muted"));
    return label;
}

// A row: the title, an optional muted text under it, and the control on the right.
QWidget* row(const QString& title, const QString& text, QWidget* control, QWidget* parent)
{
    auto* widget = new QWidget(parent);
    auto* titleLabel = new QLabel(title, widget);
    titleLabel->setFont(BrandFont::ui(10, QFont::Medium));
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(titleLabel);
    if (!text.isEmpty()) {
        auto* detail = new QLabel(text, widget);
        detail->setFont(BrandFont::ui(9));
        detail->setWordWrap(true);
        detail->setProperty("role", QStringLiteral("muted"));
        texts->addWidget(detail);
    }
    auto* layout = new QHBoxLayout(widget);
    layout->setContentsMargins(0, 4, 0, 4);
    layout->setSpacing(12);
    layout->addLayout(texts, 1);
    control->setParent(widget);
    layout->addWidget(control, 0, Qt::AlignTop);
    return widget;
}

} // namespace

QList<LibrarySwitch> SettingsPopover::switches()
{
    return {LibrarySwitch::lockScreenEnabled, LibrarySwitch::pauseOnBattery, LibrarySwitch::pauseOnLowPower,
            LibrarySwitch::pauseOnFullScreen, LibrarySwitch::pauseOnHighCPU, LibrarySwitch::pauseOnThermal};
}

QString SettingsPopover::title(LibrarySwitch which)
{
    const DesktopWords& words = DesktopWords::current();
    switch (which) {
    case LibrarySwitch::lockScreenEnabled: return QStringLiteral("Also on the lock screen");
    case LibrarySwitch::pauseOnBattery: return QStringLiteral("Pause on battery");
    case LibrarySwitch::pauseOnLowPower: return QStringLiteral("Pause in Low Power Mode");
    case LibrarySwitch::pauseOnFullScreen: return QStringLiteral("Pause when an app is full screen");
    case LibrarySwitch::pauseOnHighCPU: return words.fill(u"Pause when the {computer} is busy");
    case LibrarySwitch::pauseOnThermal: return words.fill(u"Pause when the {computer} runs hot");
    default: return {};
    }
}

SettingsPopover::SettingsPopover(LibraryStore& store, QWidget* parent)
    : QFrame(parent)
    , m_store(store)
{
    const DesktopWords& words = DesktopWords::current();
    setObjectName(QStringLiteral("settingsPopover"));
    setStyleSheet(QStringLiteral("QFrame#settingsPopover { background: %1; border: 1px solid %2; border-radius: %3px; }")
                      .arg(Brand::base().name(), Brand::line().name())
                      .arg(int(Brand::radius)));
    setFixedWidth(380);
    auto* shadow = new QGraphicsDropShadowEffect(this);
    shadow->setBlurRadius(28);
    shadow->setOffset(0, 8);
    shadow->setColor(QColor(0, 0, 0, 160));
    setGraphicsEffect(shadow);
    hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 16);
    layout->setSpacing(4);

    const QHash<LibrarySwitch, QString> texts{
        {LibrarySwitch::lockScreenEnabled,
         words.fill(u"Puts the current wallpaper behind the clock when the {computer} is locked. Off, it shows your own {systemName} wallpaper.")},
        {LibrarySwitch::pauseOnFullScreen,
         words.fill(u"Videos, games and other full screen apps get the {computer} to themselves.")},
        {LibrarySwitch::pauseOnHighCPU, QStringLiteral("When other apps use more than 80% of the CPU.")},
    };
    for (LibrarySwitch which : switches()) {
        if (which == LibrarySwitch::lockScreenEnabled)
            layout->addWidget(heading(QStringLiteral("Where it shows"), this));
        if (which == LibrarySwitch::pauseOnBattery) {
            layout->addSpacing(10);
            layout->addWidget(heading(QStringLiteral("Save power"), this));
        }
        auto* toggle = new ToggleSwitch;
        toggle->setAccessibleName(title(which));
        connect(toggle, &QAbstractButton::clicked, this, [this, which](bool on) {
            m_store.switches().set(which, on);
            sync();
        });
        m_toggles.insert(which, toggle);
        layout->addWidget(row(title(which), texts.value(which), toggle, this));
    }

    m_pause = new QPushButton;
    connect(m_pause, &QPushButton::clicked, this, [this] {
        m_store.switches().set(LibrarySwitch::userPaused, !m_store.switches().on(LibrarySwitch::userPaused));
        sync();
    });
    layout->addWidget(row(QStringLiteral("Pause it yourself"), QStringLiteral("A paused wallpaper stays on its current frame."), m_pause, this));
    m_paused = new QLabel(QStringLiteral("The wallpaper is paused"), this);
    m_paused->setProperty("role", QStringLiteral("warning"));
    m_paused->setStyleSheet(QStringLiteral("color: %1;").arg(Brand::warning().name()));
    layout->addWidget(m_paused);

    connect(&m_store.switches(), &LibrarySwitches::changed, this, &SettingsPopover::sync);
    sync();
}

void SettingsPopover::sync()
{
    for (auto it = m_toggles.cbegin(); it != m_toggles.cend(); ++it)
        it.value()->setChecked(m_store.switches().on(it.key()));
    const bool paused = m_store.switches().on(LibrarySwitch::userPaused);
    m_pause->setText(paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    m_paused->setVisible(paused);
    adjustSize();
}

void SettingsPopover::showBelow(QWidget* anchor)
{
    m_anchor = anchor;
    adjustSize();
    QWidget* host = parentWidget();
    QPoint at = anchor->mapTo(host, QPoint(anchor->width() - width(), anchor->height() + 6));
    at.setX(std::clamp(at.x(), 8, std::max(8, host->width() - width() - 8)));
    at.setY(std::clamp(at.y(), 8, std::max(8, host->height() - height() - 8)));
    move(at);
    show();
    raise();
}

void SettingsPopover::showEvent(QShowEvent* event)
{
    QFrame::showEvent(event);
    qApp->installEventFilter(this);
}

void SettingsPopover::hideEvent(QHideEvent* event)
{
    qApp->removeEventFilter(this);
    QFrame::hideEvent(event);
}

bool SettingsPopover::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // A press outside closes it; the press still reaches what was clicked.
        // The anchor's own click toggles the popover instead.
        if (widget && widget->window() == window() && widget != m_anchor && !rect().contains(mapFromGlobal(mouse->globalPosition().toPoint())))
            hide();
    } else if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        hide();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}
