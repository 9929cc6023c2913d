#include "app/ui/move_sheet.h"

#include "app/ui/app_style.h"
#include "app/ui/zentrove_application.h"
#include "brand/brand.h"
#include "platform/app_image.h"
#include "platform/desktop_words.h"
#include "platform/workspace.h"
#include "services/install.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QThreadPool>
#include <QPushButton>
#include <QVBoxLayout>

MoveSheet::Actions MoveSheet::Actions::running()
{
    Actions actions;
    actions.appImage = AppImage::current().value_or(QString());
    actions.home = QDir::homePath();
    actions.relaunch = [](const QString& destination) {
        return AppImage::startAfterExit(destination, {}, QCoreApplication::applicationPid());
    };
    actions.quit = [] {
        if (ZentroveApplication* app = ZentroveApplication::instance())
            app->terminate();
    };
    return actions;
}

MoveSheet::MoveSheet(Actions actions, Workspace& workspace, QWidget* parent)
    : QWidget(parent)
    , m_actions(std::move(actions))
    , m_workspace(workspace)
{
    const DesktopWords& words = DesktopWords::current();
    const int padding = int(Brand::pagePadding);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->setSpacing(12);

    auto* title = new QLabel(words.fill(u"Move Zentrove to {applications}"), this);
    title->setFont(AppStyle::displayFont(20));
    title->setWordWrap(true);
    layout->addWidget(title);

    m_text = new QLabel(words.fill(u"Zentrove starts its parts each time you log in, so it needs to live in {applicationsFolder}. ")
                            + QStringLiteral("Right now it's in “") + Install::folderName(m_actions.appImage) + QStringLiteral("”."),
                        this);
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setFont(AppStyle::uiFont(10.5));
    layout->addWidget(m_text);
    // The app image is copied: the file the user started stays where it is.
    auto* second = new QLabel(QStringLiteral("It's copied there and opens again from there. Nothing else changes."), this);
    second->setWordWrap(true);
    second->setFont(AppStyle::uiFont(10.5));
    AppStyle::mark(second, "muted");
    layout->addWidget(second);

    m_error = new QLabel(this);
    m_error->setWordWrap(true);
    m_error->setTextFormat(Qt::PlainText);
    AppStyle::mark(m_error, "failure");
    layout->addWidget(m_error);
    m_dragHint = new QLabel(words.fill(u"Drag Zentrove into {applications} in {fileManager}, then open it from there."), this);
    m_dragHint->setWordWrap(true);
    layout->addWidget(m_dragHint);
    m_show = new QPushButton(words.fill(u"Show in {fileManager}"), this);
    layout->addWidget(m_show, 0, Qt::AlignLeft);
    layout->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_quit = new QPushButton(QStringLiteral("Quit"), this);
    m_move = new QPushButton(QStringLiteral("Move and Open Again"), this);
    AppStyle::mark(m_move, "primary");
    m_move->setDefault(true);
    buttons->addWidget(m_quit);
    buttons->addWidget(m_move);
    layout->addLayout(buttons);

    m_error->hide();
    m_dragHint->hide();
    m_show->hide();
    connect(m_quit, &QPushButton::clicked, this, [this] { m_actions.quit(); });
    connect(m_move, &QPushButton::clicked, this, &MoveSheet::move);
    connect(m_show, &QPushButton::clicked, this, [this] {
        // The user drags the app image over from its folder into the applications folder.
        m_workspace.revealFile(m_actions.appImage);
        QDir().mkpath(Install::applications(m_actions.home));
        m_workspace.openURL(QUrl::fromLocalFile(Install::applications(m_actions.home)));
    });
}

void MoveSheet::move()
{
    // A copy of a few hundred megabytes takes a moment: it runs on a worker, the sheet stays live.
    m_move->setEnabled(false);
    m_error->hide();
    QPointer<MoveSheet> self(this);
    QThreadPool::globalInstance()->start([self, source = m_actions.appImage, home = m_actions.home] {
        const Install::MoveResult result = Install::moveToApplications(source, home);
        QMetaObject::invokeMethod(QCoreApplication::instance(), [self, result] {
            if (self)
                self->moved(result);
        }, Qt::QueuedConnection);
    });
}

void MoveSheet::moved(const Install::MoveResult& result)
{
    m_move->setEnabled(true);
    if (result.failure) {
        m_error->setText(result.failure->text());
        m_error->show();
        m_dragHint->setVisible(result.failure->noPermission);
        m_show->setVisible(result.failure->noPermission);
        return;
    }
    if (!m_actions.relaunch(*result.destination)) {
        m_error->setText(QStringLiteral("Couldn't move it: the copy did not start"));
        m_error->show();
        return;
    }
    m_actions.quit();
}
