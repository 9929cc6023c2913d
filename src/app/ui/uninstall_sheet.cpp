#include "app/ui/uninstall_sheet.h"

#include "app/parts_model.h"
#include "app/ui/app_style.h"
#include "app/ui/symbol_icon.h"
#include "brand/brand.h"
#include "brand/ui/toggle_switch.h"
#include "core/part.h"
#include "core/zentrove.h"
#include "platform/defaults.h"
#include "platform/desktop_words.h"
#include "platform/workspace.h"
#include "services/install.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QThreadPool>
#include <QVBoxLayout>

namespace {

QLabel* text(const QString& content, QWidget* parent, const char* role = nullptr)
{
    auto* label = new QLabel(content, parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setFont(AppStyle::uiFont(10.5));
    if (role)
        AppStyle::mark(label, role);
    return label;
}

QLabel* symbol(const QString& name, QWidget* parent)
{
    auto* icon = new QLabel(parent);
    icon->setPixmap(SymbolIcon::make(name, Brand::muted(), 20).pixmap(20, 20));
    icon->setFixedWidth(28);
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    return icon;
}

// A symbol on the left, a text (or any widget) on the right.
QWidget* line(const QString& symbolName, QWidget* content, QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    layout->addWidget(symbol(symbolName, row), 0, Qt::AlignTop);
    content->setParent(row);
    layout->addWidget(content, 1);
    return row;
}

} // namespace

UninstallSheet::UninstallSheet(PartsModel& model, Workspace& workspace, UninstallSequence::Target target,
                               std::function<void()> close, std::function<void()> quit, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_workspace(workspace)
    , m_close(std::move(close))
    , m_quit(std::move(quit))
{
    m_sequence = new UninstallSequence(model, workspace, std::move(target), this);
    const DesktopWords& words = DesktopWords::current();
    const int padding = int(Brand::pagePadding);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->setSpacing(14);

    auto* title = new QLabel(QStringLiteral("Uninstall Zentrove"), this);
    title->setFont(AppStyle::displayFont(20));
    layout->addWidget(title);
    layout->addWidget(line(QStringLiteral("dock.rectangle"),
                           text(words.fill(u"Taskbar, Live Wallpaper and Lock Screen Clock turn off. The {dock}, your own wallpaper and the {systemName} lock screen come back."), this),
                           this));
    layout->addWidget(line(QStringLiteral("trash"),
                           text(QStringLiteral("Zentrove moves to the Trash and quits. Your settings stay, and installing it again starts with setup."), this),
                           this));

    // Also the library
    auto* libraryBox = new QFrame(this);
    AppStyle::mark(libraryBox, "box");
    auto* libraryLayout = new QHBoxLayout(libraryBox);
    libraryLayout->setContentsMargins(14, 12, 14, 12);
    auto* libraryTexts = new QVBoxLayout;
    libraryTexts->setSpacing(2);
    auto* libraryTitle = text(QStringLiteral("Also move my wallpapers and ensembles to the Trash"), libraryBox);
    libraryTitle->setFont(AppStyle::uiFont(10.5, QFont::Medium));
    libraryTexts->addWidget(libraryTitle);
    m_libraryDetail = text(libraryDetailText(std::nullopt), libraryBox, "muted");
    m_libraryDetail->setFont(AppStyle::uiFont(9.5));
    libraryTexts->addWidget(m_libraryDetail);
    libraryLayout->addLayout(libraryTexts, 1);
    m_trashLibrary = new ToggleSwitch(libraryBox);
    m_trashLibrary->setAccessibleName(libraryTitle->text());
    libraryLayout->addWidget(m_trashLibrary, 0, Qt::AlignVCenter);
    layout->addWidget(libraryBox);

    // The system's own lock screen clock is the user's to turn back on.
    auto* clockTexts = new QWidget(this);
    auto* clockLayout = new QVBoxLayout(clockTexts);
    clockLayout->setContentsMargins(0, 0, 0, 0);
    clockLayout->addWidget(text(words.fill(u"{systemName}'s own lock screen clock stays as you set it. If you turned it off for Zentrove, turn it back on in {settingsApp} → ")
                                    + QStringLiteral("Lock Screen"),
                                clockTexts, "muted"));
    auto* openSettings = new QPushButton(words.fill(u"Open {settingsApp}"), clockTexts);
    connect(openSettings, &QPushButton::clicked, this, [] { DesktopWords::openSettings(SettingsPane::lockScreen); });
    clockLayout->addWidget(openSettings, 0, Qt::AlignLeft);
    m_clockNote = line(QStringLiteral("clock"), clockTexts, this);
    const Part clock = *Part::withID(Zentrove::vizaVedidID());
    m_clockNote->setVisible(m_model.isOn(clock) || Defaults::standard().boolean(QStringLiteral("macClockTurnedOff"), false));
    layout->addWidget(m_clockNote);

    // After a failed trash: how to finish by hand.
    m_lastStep = new QFrame(this);
    AppStyle::mark(m_lastStep, "box");
    auto* lastLayout = new QVBoxLayout(m_lastStep);
    lastLayout->setContentsMargins(14, 12, 14, 12);
    auto* lastTitle = new QLabel(QStringLiteral("One last step"), m_lastStep);
    lastTitle->setFont(AppStyle::uiFont(10.5, QFont::DemiBold));
    lastLayout->addWidget(line(QStringLiteral("hand.draw"), lastTitle, m_lastStep));
    m_lastStepText = text(QString(), m_lastStep);
    lastLayout->addWidget(m_lastStepText);
    m_lastStepButton = new QPushButton(m_lastStep);
    AppStyle::mark(m_lastStepButton, "primary");
    lastLayout->addWidget(m_lastStepButton, 0, Qt::AlignRight);
    layout->addWidget(m_lastStep);
    m_lastStep->hide();

    layout->addStretch(1);
    auto* buttons = new QHBoxLayout;
    m_progress = text(QString(), this, "muted");
    buttons->addWidget(m_progress, 1);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_uninstall = new QPushButton(QStringLiteral("Uninstall"), this);
    AppStyle::mark(m_uninstall, "destructive");
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_uninstall);
    layout->addLayout(buttons);

    connect(m_cancel, &QPushButton::clicked, this, [this] { m_close(); });
    connect(m_uninstall, &QPushButton::clicked, this, [this] { m_sequence->start(m_trashLibrary->isChecked()); });
    connect(m_sequence, &UninstallSequence::stepChanged, this, &UninstallSheet::sync);
    connect(m_sequence, &UninstallSequence::finished, this, &UninstallSheet::finished);
    connect(m_lastStepButton, &QPushButton::clicked, this, [this] {
        if (m_sequence->outcome() == UninstallSequence::Outcome::trashFailed)
            m_workspace.revealFile(m_sequence->target().appImage.value_or(QCoreApplication::applicationFilePath()));
        m_quit();
    });
    sync();
}

QString UninstallSheet::libraryDetailText(std::optional<qint64> size)
{
    if (!size || *size == 0)
        return QStringLiteral("Your ensembles and the videos and pictures you added. Off, they all stay for next time.");
    return QLocale().formattedDataSize(*size, 1, QLocale::DataSizeTraditionalFormat)
        + QStringLiteral(": the videos and pictures you added, your ensembles and their lock screen copies. Installing again then starts with the built-in ensembles. Off, they all stay for next time.");
}

void UninstallSheet::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    measureLibrary();
}

void UninstallSheet::measureLibrary()
{
    // Walking a large library takes a while: it happens on a worker each time the sheet shows.
    if (m_measuring)
        return;
    m_measuring = true;
    QPointer<UninstallSheet> self(this);
    QThreadPool::globalInstance()->start([self, folder = Install::library()] {
        const qint64 size = Install::folderSize(folder);
        QMetaObject::invokeMethod(QCoreApplication::instance(), [self, size] {
            if (!self)
                return;
            self->m_measuring = false;
            self->m_librarySize = size;
            self->m_libraryDetail->setText(libraryDetailText(size));
        }, Qt::QueuedConnection);
    });
}

void UninstallSheet::finished(UninstallSequence::Outcome outcome)
{
    if (outcome == UninstallSequence::Outcome::done) {
        m_quit();
        return;
    }
    m_lastStepText->setText(outcome == UninstallSequence::Outcome::packaged ? UninstallSequence::packageText()
                                                                            : UninstallSequence::trashFailureText());
    m_lastStepButton->setText(outcome == UninstallSequence::Outcome::packaged ? QStringLiteral("Quit")
                                                                              : UninstallSequence::trashFailureButton());
    m_lastStep->show();
    sync();
}

void UninstallSheet::sync()
{
    const bool running = m_sequence->step().has_value();
    const bool ended = m_sequence->outcome() != UninstallSequence::Outcome::running;
    m_progress->setText(m_sequence->step().value_or(QString()));
    m_uninstall->setEnabled(!running && !ended);
    m_cancel->setEnabled(!running);
    m_trashLibrary->setEnabled(!running && !ended);
    m_uninstall->setVisible(!ended);
}
