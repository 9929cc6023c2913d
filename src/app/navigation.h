#pragma once

#include "app/page.h"
#include "core/part.h"

#include <QObject>
#include <QUuid>

#include <functional>
#include <optional>

// The page named like the part, or the Settings page.
Page pageOf(const Part& part);
// The first part whose page is the given one.
std::optional<Part> partOn(Page page);

// Which page the main window shows and which sheet is up. One per app; the sidebar, the app menu,
// start-up and the pages all move through it.
class Navigation : public QObject
{
    Q_OBJECT
public:
    // Set by a page with unsaved edits: answering false keeps the user on that page.
    using LeaveGuard = std::function<bool(Page target)>;

    using QObject::QObject;

    // Goes to `target`, unless the leave guard refuses. Picking the page already shown counts as
    // a reselect instead (pages scroll to the top or leave a detail view).
    void go(Page target);

    Page page() const { return m_page; }
    void setPage(Page page);
    int reselected() const { return m_reselected; }
    void setLeaveGuard(LeaveGuard guard) { m_leaveGuard = std::move(guard); }
    void clearLeaveGuard() { m_leaveGuard = nullptr; }
    bool hasLeaveGuard() const { return bool(m_leaveGuard); }

    bool showSetup() const { return m_showSetup; }
    void setShowSetup(bool show);
    bool showMove() const { return m_showMove; }
    void setShowMove(bool show);
    bool showUninstall() const { return m_showUninstall; }
    void setShowUninstall(bool show);
    bool showFeedback() const { return m_showFeedback; }
    void setShowFeedback(bool show);

    std::optional<QUuid> openWallpaper() const { return m_openWallpaper; }
    void setOpenWallpaper(std::optional<QUuid> id);
    std::optional<QUuid> openEnsemble() const { return m_openEnsemble; }
    void setOpenEnsemble(std::optional<QUuid> id);
    bool importVideo() const { return m_importVideo; }
    void setImportVideo(bool import);

signals:
    void pageChanged();
    void reselectedChanged();
    void sheetsChanged();
    void openWallpaperChanged();
    void openEnsembleChanged();
    void importVideoChanged();

private:
    Page m_page = Page::looks;
    int m_reselected = 0;
    LeaveGuard m_leaveGuard;
    bool m_showSetup = false;
    bool m_showMove = false;
    bool m_showUninstall = false;
    bool m_showFeedback = false;
    std::optional<QUuid> m_openWallpaper;
    std::optional<QUuid> m_openEnsemble;
    bool m_importVideo = false;
};
