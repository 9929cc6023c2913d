#pragma once

#include "app/ensembles_model.h"
#include "app/ui/ensemble_dialogs.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

class ChangeEnsembleBox;
class EnsembleCard;
class EnsembleEditor;
class FlowGrid;
class LookPreview;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QToolButton;

// The front page: what each display shows, and the ensembles to choose from. Top to bottom: the
// header, the display picker (two or more displays), the hero (a miniature of the chosen display
// with the selected ensemble, its caption, title, buttons and parts) or the editor in its place,
// the automatic change box (main display), and the gallery of cards.
class EnsemblesPage : public QWidget
{
    Q_OBJECT
public:
    explicit EnsemblesPage(EnsemblesModel& model, QWidget* parent = nullptr);
    ~EnsemblesPage() override;

    EnsemblesModel& model() const { return m_model; }

    // Parts, for tests and snapshots.
    QWidget* displayPicker() const { return m_displayPicker; }
    QList<QPushButton*> displayButtons() const { return m_displayButtons; }
    QWidget* hero() const { return m_hero; }
    LookPreview* preview() const { return m_preview; }
    QPushButton* placeButton(LookPlace place) const { return place == LookPlace::desktop ? m_desktopButton : m_lockButton; }
    QLabel* caption() const { return m_caption; }
    QLabel* badge() const { return m_badge; }
    QLabel* heroTitle() const { return m_title; }
    QPushButton* applyButton() const { return m_apply; }
    QPushButton* editButton() const { return m_edit; }
    QToolButton* menuButton() const { return m_menuButton; }
    QWidget* partsList() const { return m_parts; }
    QLabel* partValue(int row) const { return m_partValues[row]; }
    QLabel* followsLine() const { return m_follows; }
    QLabel* changesList() const { return m_changes; }
    QPushButton* saveChangesButton() const { return m_saveChanges; }
    EnsembleEditor* editor() const { return m_editor; }
    ChangeEnsembleBox* changeBox() const { return m_changeBox; }
    // The gallery's cards. The gallery follows store changes on the next turn of the main loop
    // (an apply changes several stores at once); asking for a card brings it up to date first.
    QList<EnsembleCard*> cards();
    EnsembleCard* card(const QUuid& id);
    EnsembleCard* sameAsMainCard();
    EnsembleCard* newTile();
    QPushButton* restoreButton() const { return m_restore; }
    QLabel* helpLines() const { return m_help; }
    QLabel* emptyText() const { return m_empty; }
    QScrollArea* scrollArea() const { return m_scroll; }
    // The menu of an ensemble (the card's and the hero's), built afresh.
    QMenu* menuFor(const QUuid& id);
    RenameEnsembleDialog* renameDialog() const { return m_renameDialog; }
    DeleteEnsembleDialog* deleteDialog() const { return m_deleteDialog; }

    // Shows one view of the page by name: "lockscreen" (the lock screen place), "new" (a new
    // ensemble's editor on its second step) or "second" (the second display). Case is ignored.
    void openDetail(const QString& detail);

    // Opens the rename or delete dialog for the ensemble.
    void askRename(const QUuid& id);
    void askDelete(const QUuid& id);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildHero(QWidget* parent);
    void refreshAll();
    // Store changes: everything but the cards now, the cards once on the next turn.
    void refreshSoon();
    void queueCards();
    // Brings the cards up to date when a refresh of them waits.
    void flushCards();
    // Makes the next batch of cards that are not made yet (a big gallery is made over several
    // turns, the rows on screen first).
    void buildMoreCards();
    void refreshState();
    // The hero, the footer, the change box and an open editor: all but the cards.
    void refreshAroundCards();
    void refreshHero();
    void refreshDisplays();
    void rebuildCards();
    void refreshCards();
    void refreshCardThumbnails();
    void refreshFooter();
    void takeRequest();
    void scrollTo(QWidget* widget);
    void runAction(EnsemblesModel::Action action, const QUuid& id);

    EnsemblesModel& m_model;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_displayPicker = nullptr;
    QList<QPushButton*> m_displayButtons;
    QWidget* m_hero = nullptr;
    LookPreview* m_preview = nullptr;
    QPushButton* m_desktopButton = nullptr;
    QPushButton* m_lockButton = nullptr;
    QLabel* m_caption = nullptr;
    QFrame* m_badgeBox = nullptr;
    QLabel* m_badge = nullptr;
    QLabel* m_title = nullptr;
    QPushButton* m_apply = nullptr;
    QPushButton* m_edit = nullptr;
    QToolButton* m_menuButton = nullptr;
    QWidget* m_parts = nullptr;
    QLabel* m_partValues[3] = {};
    QLabel* m_follows = nullptr;
    QLabel* m_changes = nullptr;
    QPushButton* m_saveChanges = nullptr;
    EnsembleEditor* m_editor = nullptr;
    ChangeEnsembleBox* m_changeBox = nullptr;
    FlowGrid* m_grid = nullptr;
    QHash<QUuid, EnsembleCard*> m_cards;
    QList<QUuid> m_cardOrder;
    EnsembleCard* m_sameCard = nullptr;
    EnsembleCard* m_newTile = nullptr;
    QPushButton* m_restore = nullptr;
    QLabel* m_help = nullptr;
    QLabel* m_empty = nullptr;
    QPointer<QMenu> m_menu;
    QPointer<RenameEnsembleDialog> m_renameDialog;
    QPointer<DeleteEnsembleDialog> m_deleteDialog;
    QString m_heroPicture; // the thumbnail path the hero shows
    bool m_cardsQueued = false;
    bool m_moreQueued = false;
    int m_cardLimit; // how many cards may exist; raised batch by batch
    std::optional<quint32> m_cardsForDisplay;
    bool m_cardsForMain = true;
};
